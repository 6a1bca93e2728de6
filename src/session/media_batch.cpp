#include "session/media_batch.h"

#include <algorithm>
#include <filesystem>

#include "media/media_header_record.h"
#include "media/mp3_info.h"
#include "media/photo_converter.h"
#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr int kBeforeHandshakePauseMs = 1000;

}  // namespace

bool MediaBatch::SendMediaBatch() {
  SessionHost& host = m_context.host;
  bool firstOfBatch = true;
  while (host.SelectedCount() > 0) {
    if (PrepareFirstFile(host.FirstSelected()) == Prepared::Failed) {
      host.OperationFinished(false);
      return !firstOfBatch;
    }
    if (!SendFirstFile(firstOfBatch)) {
      return true;
    }
    firstOfBatch = false;
    host.RemoveFirstSelected();
  }
  if (!firstOfBatch) {
    host.OperationFinished(true);
  }
  return !firstOfBatch;
}

MediaBatch::Prepared MediaBatch::PrepareFirstFile(const SelectedFileInfo& file) {
  m_context.host.SelectMode(static_cast<int>(file.isPhoto ? Mode::Photo : Mode::Mp3));
  if (!m_context.state.imageFile.Open(file.path)) {
    m_context.host.MessageBox(text::CantOpen(file.path));
    return Prepared::Failed;
  }
  m_context.state.fileSource = true;
  return file.isPhoto ? PreparePhoto(file, Mode::Photo) : PrepareMp3(file);
}

MediaBatch::Prepared MediaBatch::PreparePhoto(const SelectedFileInfo& file, Mode mode) {
  SessionHost& host = m_context.host;
  TransferState& state = m_context.state;
  host.ShowWaitDialog(std::string(text::kWaitConverting));
  host.PumpMessages();
  std::optional<std::vector<std::uint8_t>> content = m_converter.ConvertPhoto(file.path, mode);
  host.HideWaitDialog();
  if (!content) {
    host.MessageBox(std::string(text::kMakingPhotoError));
    state.fileSource = false;
    state.imageFile.Close();
    return Prepared::Failed;
  }
  state.transferSize = static_cast<std::uint32_t>(content->size());
  const MediaHeaderRecord::Bytes record = MediaHeaderRecord::ForPhoto(file.name, state.transferSize).Data();
  state.mediaBuffer.assign(record.begin(), record.end());
  state.mediaBuffer.insert(state.mediaBuffer.end(), content->begin(), content->end());
  state.photoRecord = record;
  return Prepared::Ready;
}

MediaBatch::Prepared MediaBatch::PrepareMp3(const SelectedFileInfo& file) {
  TransferState& state = m_context.state;
  const std::uint64_t length = state.imageFile.Length();
  state.transferSize = static_cast<std::uint32_t>(length);
  const CMp3Info info(file.path);
  const MediaHeaderRecord::Bytes record =
      MediaHeaderRecord::ForMp3(file.name, state.transferSize, info.Duration(), info.Id3v1()).Data();
  state.mediaBuffer.assign(kMediaHeaderSize + length, 0);
  std::copy(record.begin(), record.end(), state.mediaBuffer.begin());
  state.imageFile.Seek(0);
  if (state.imageFile.Read(state.mediaBuffer.data() + kMediaHeaderSize, length) != length) {
    m_context.host.MessageBox(text::CantOpen(file.path));
    state.ReleaseMedia();
    state.imageFile.Close();
    state.fileSource = false;
    return Prepared::Failed;
  }
  state.mp3Record = record;
  return Prepared::Ready;
}

// Starts the session of the list's first file and waits until the box has stored it. False when the
// wait ended otherwise (the owner closing, a second Start, or the run ending in the console).
bool MediaBatch::SendFirstFile(bool firstOfBatch) {
  SessionHost& host = m_context.host;
  UpdateTransferSize(m_context);
  host.Pause(kBeforeHandshakePauseMs);
  if (firstOfBatch) {
    host.StartWatchdog(kWatchdogMilliseconds);
  }
  m_context.SendHandshake();
  host.ShowWaitDialog(std::string(text::kWaitForAWhile));
  host.PumpMessages();

  m_waiting = true;
  const FileDoneWait result = host.WaitForFileDone();
  m_waiting = false;
  if (result != FileDoneWait::Done || m_context.state.closing) {
    m_context.state.ReleaseMedia();
    return false;
  }
  return true;
}

bool MediaBatch::LoadBackgroundPhoto() {
  SessionHost& host = m_context.host;
  TransferState& state = m_context.state;
  const std::optional<std::string> path = host.AskOpenFile(std::string(text::kPhotoFilter));
  if (!path) {
    return false;
  }
  state.imageFile.Open(*path);  // only the path matters to the converter
  const SelectedFileInfo file{*path, std::filesystem::path(*path).filename().string(), true};
  if (PreparePhoto(file, Mode::Background) == Prepared::Failed) {
    return false;
  }
  state.fileSource = true;
  UpdateTransferSize(m_context);
  host.StartWatchdog(kWatchdogMilliseconds);
  m_context.SendHandshake();
  return true;
}

}  // namespace tw
