#include "session/operation_dispatch.h"

#include "session/media_batch.h"
#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr std::uint32_t kFlashWindowLow = 0x7F000000;
constexpr std::uint32_t kFlashWindowHigh = 0x7FFFFFFF;
constexpr std::uint32_t kEepromWindowHigh = 0x3FFF;

std::uint32_t StartAddressFor(Mode mode, const std::string& start) {
  if (mode == Mode::Eeprom) {
    return ParseHexText("0000" + LastChars(start, 4));
  }
  return ParseHexText(LastChars(start, 8));
}

}  // namespace

bool OperationDispatch::OnSelchangePort() {
  SessionHost& host = m_context.host;
  const bool connected = m_context.link.Reconnect(host.PortIndex(), host.SpeedIndex());
  m_context.framer.Clear();
  host.SetComStatus(connected);
  return connected;
}

bool OperationDispatch::OnStart() {
  if (m_batch.Waiting()) {
    // Batches never nest: a second Start ends the wait of the running one, whose file stays listed.
    m_context.host.CancelFileDoneWait();
    return false;
  }
  PrepareNewOperation();
  return m_context.host.DownloadChecked() ? StartDownload() : StartUpload();
}

// A start while another transfer runs begins afresh: whatever the old one held is let go.
void OperationDispatch::PrepareNewOperation() {
  TransferState& state = m_context.state;
  state.sending = false;
  state.receiving = false;
  state.uploadFile.Discard();
  state.ReleaseMedia();
  state.lastBlockSource = LastBlockSource::None;
}

bool OperationDispatch::StartDownload() {
  m_context.state.download = true;
  switch (m_context.CurrentMode()) {
    case Mode::Program:
      return m_loaders.LoadProgramImage();
    case Mode::Database:
      return m_loaders.LoadDatabaseImage();
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      return StartMemoryDownload();
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

bool OperationDispatch::StartMemoryDownload() {
  m_context.state.fileSource = false;
  m_context.state.viewerData = m_context.host.ViewerData();
  if (!UpdateTransferSize(m_context)) {
    return false;
  }
  m_context.SendHandshake();
  return true;
}

bool OperationDispatch::StartUpload() {
  TransferState& state = m_context.state;
  state.download = false;
  const Mode mode = m_context.CurrentMode();
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
  m_context.state.fileSource = false;
  if (!UpdateTransferSize(m_context)) {
    return false;
  }
  m_receiver.Begin(*size);
  m_context.SendHandshake();
  return true;
}

bool OperationDispatch::StartDatabaseUpload() {
  SessionHost& host = m_context.host;
  TransferState& state = m_context.state;
  const std::optional<std::string> path = host.AskSaveFile(std::string(text::kDatabaseFilter));
  if (!path) {
    return false;
  }
  if (!state.uploadFile.Create(*path)) {
    host.MessageBox(text::CantOpen(*path));
    return false;
  }
  state.uploadTarget = *path;
  state.fileSource = true;
  if (!UpdateTransferSize(m_context)) {
    return false;
  }
  m_receiver.Begin(kDatabaseSize);
  m_context.SendHandshake();
  return true;
}

int OperationDispatch::CheckAddressRange() {
  SessionHost& host = m_context.host;
  const std::uint32_t size = ParseDecimalSize(host.SizeText()).value_or(0);
  const Mode mode = m_context.CurrentMode();
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
