#include "session/operation_dispatch.h"

#include <memory>

#include "session/media_batch.h"
#include "session/memory_source.h"
#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr std::uint32_t kFlashWindowLow = 0x7F000000;
constexpr std::uint32_t kFlashWindowHigh = 0x7FFFFFFF;
constexpr std::uint32_t kEepromWindowHigh = 0x3FFF;

}  // namespace

bool OperationDispatch::OnSelchangePort() {
  SessionRoles& host = m_context.host;
  const bool connected = m_context.link.Reconnect(host.controls.Port(), host.controls.Speed());
  m_context.framer.Clear();
  host.controls.SetComStatus(connected);
  if (!connected && m_context.transfer.End(TransferEnd::LineLost)) {
    m_receiver.Discard();
  }
  return connected;
}

bool OperationDispatch::OnStart() {
  if (m_context.transfer.BatchWaiting()) {
    // Batches never nest: a second Start ends the running one. Nothing more of its file goes out (its
    // entry stays listed); the next Start begins afresh.
    m_context.transfer.End(TransferEnd::Cancelled);
    m_context.host.batch.CancelFileDoneWait();
    return false;
  }
  return m_context.host.controls.DownloadChecked() ? StartDownload() : StartUpload();
}

bool OperationDispatch::StartDownload() {
  const Mode mode = m_context.host.controls.SelectedMode();
  switch (mode) {
    case Mode::Program:
      return m_loaders.LoadProgramImage();
    case Mode::Database:
      return m_loaders.LoadDatabaseImage();
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      return StartMemoryDownload(mode);
    case Mode::Mp3:
    case Mode::Photo:
      return m_batch.SendMediaBatch();
    case Mode::Background:
      return m_batch.LoadBackgroundPhoto();
    case Mode::Boot:
      return m_loaders.LoadBootImage();
    case Mode::GzipProgram:
      return m_loaders.LoadGzipProgramImage();
  }
  return false;
}

bool OperationDispatch::StartMemoryDownload(Mode mode) {
  TransferPlan plan = m_context.NewPlan(mode, true);
  plan.source = std::make_unique<MemorySource>(m_context.host.viewer.ViewerData(), "the hex viewer");
  plan.viewerBlocks = true;
  return m_context.Accept(std::move(plan));
}

bool OperationDispatch::StartUpload() {
  const Mode mode = m_context.host.controls.SelectedMode();
  switch (mode) {
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      return StartMemoryUpload(mode);
    case Mode::Database:
      return StartDatabaseUpload();
    default:
      m_context.host.prompts.MessageBox(std::string(text::kUploadNotAvailable));
      return false;
  }
}

bool OperationDispatch::StartMemoryUpload(Mode mode) {
  SessionRoles& host = m_context.host;
  const std::optional<std::uint32_t> size = ParseDecimalSize(host.controls.SizeText());
  if (!size || *size < 1 || *size > kUploadBufferSize) {
    host.prompts.MessageBox(std::string(text::kSizeRange));
    return false;
  }
  host.viewer.ViewerBeginUpload(RequestAddress(mode, host.controls.StartText()));
  if (CheckAddressRange() == 0) {
    return false;
  }
  m_receiver.BeginMemory(*size);
  return m_context.Accept(m_context.NewPlan(mode, false));
}

bool OperationDispatch::StartDatabaseUpload() {
  SessionRoles& host = m_context.host;
  const std::optional<std::string> path = host.prompts.AskSaveFile(std::string(text::kDatabaseFilter));
  if (!path) {
    return false;
  }
  if (!m_receiver.BeginFile(*path)) {
    host.prompts.MessageBox(text::CantOpen(*path));
    return false;
  }
  return m_context.Accept(m_context.NewPlan(Mode::Database, false));
}

int OperationDispatch::CheckAddressRange() {
  SessionRoles& host = m_context.host;
  const std::uint32_t size = ParseDecimalSize(host.controls.SizeText()).value_or(0);
  const Mode mode = host.controls.SelectedMode();
  const std::uint32_t end = RequestAddress(mode, host.controls.StartText()) + size;
  if (mode == Mode::Flash && (end < kFlashWindowLow || end > kFlashWindowHigh)) {
    host.prompts.MessageBox(std::string(text::kFlashRange));
    return 0;
  }
  if (mode == Mode::Eeprom && end > kEepromWindowHigh) {
    host.prompts.MessageBox(std::string(text::kEepromRange));
    return 0;
  }
  return 1;
}

}  // namespace tw
