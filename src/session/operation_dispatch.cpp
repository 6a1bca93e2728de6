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

std::uint32_t StartAddressFor(Mode mode, const std::string& start) {
  return ParseHexText(RequestAddressText(mode, start));
}

}  // namespace

bool OperationDispatch::OnSelchangePort() {
  SessionHost& host = m_context.host;
  const bool connected = m_context.link.Reconnect(host.PortIndex(), host.SpeedIndex());
  m_context.framer.Clear();
  host.SetComStatus(connected);
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
    m_context.host.CancelFileDoneWait();
    return false;
  }
  return m_context.host.DownloadChecked() ? StartDownload() : StartUpload();
}

bool OperationDispatch::StartDownload() {
  const Mode mode = static_cast<Mode>(m_context.host.ModeIndex());
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
  plan.source = std::make_unique<MemorySource>(m_context.host.ViewerData(), "the hex viewer");
  plan.viewerBlocks = true;
  return m_context.Accept(std::move(plan));
}

bool OperationDispatch::StartUpload() {
  const Mode mode = static_cast<Mode>(m_context.host.ModeIndex());
  switch (mode) {
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      return StartMemoryUpload(mode);
    case Mode::Database:
      return StartDatabaseUpload();
    default:
      m_context.host.MessageBox(std::string(text::kUploadNotAvailable));
      return false;
  }
}

bool OperationDispatch::StartMemoryUpload(Mode mode) {
  SessionHost& host = m_context.host;
  const std::optional<std::uint32_t> size = ParseDecimalSize(host.SizeText());
  if (!size || *size < 1 || *size > kUploadBufferSize) {
    host.MessageBox(std::string(text::kSizeRange));
    return false;
  }
  host.ViewerSetAddressBase(StartAddressFor(mode, host.StartText()));
  host.ViewerClear();
  if (CheckAddressRange() == 0) {
    return false;
  }
  m_receiver.BeginMemory(*size);
  return m_context.Accept(m_context.NewPlan(mode, false));
}

bool OperationDispatch::StartDatabaseUpload() {
  SessionHost& host = m_context.host;
  const std::optional<std::string> path = host.AskSaveFile(std::string(text::kDatabaseFilter));
  if (!path) {
    return false;
  }
  if (!m_receiver.BeginFile(*path)) {
    host.MessageBox(text::CantOpen(*path));
    return false;
  }
  return m_context.Accept(m_context.NewPlan(Mode::Database, false));
}

int OperationDispatch::CheckAddressRange() {
  SessionHost& host = m_context.host;
  const std::uint32_t size = ParseDecimalSize(host.SizeText()).value_or(0);
  const auto mode = static_cast<Mode>(host.ModeIndex());
  const std::uint32_t end = StartAddressFor(mode, host.StartText()) + size;
  if (mode == Mode::Flash && (end < kFlashWindowLow || end > kFlashWindowHigh)) {
    host.MessageBox(std::string(text::kFlashRange));
    return 0;
  }
  if (mode == Mode::Eeprom && end > kEepromWindowHigh) {
    host.MessageBox(std::string(text::kEepromRange));
    return 0;
  }
  return 1;
}

}  // namespace tw
