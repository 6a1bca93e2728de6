#include "session/media_batch.h"

#include <filesystem>
#include <memory>

#include "media/media_header_record.h"
#include "media/mp3_info.h"
#include "media/photo_converter.h"
#include "session/file_source.h"
#include "session/memory_source.h"
#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr int kBeforeHandshakePauseMs = 1000;

}  // namespace

bool MediaBatch::SendMediaBatch() {
  SessionRoles& host = m_context.host;
  bool firstOfBatch = true;
  while (host.batch.SelectedCount() > 0) {
    std::optional<TransferPlan> plan = PrepareFile(host.batch.FirstSelected());
    if (!plan) {
      host.result.OperationFinished(false);
      return !firstOfBatch;
    }
    if (!SendFile(std::move(*plan), firstOfBatch)) {
      return true;
    }
    firstOfBatch = false;
    host.batch.RemoveFirstSelected();
  }
  if (!firstOfBatch) {
    host.result.OperationFinished(true);
  }
  return !firstOfBatch;
}

std::optional<TransferPlan> MediaBatch::PrepareFile(const SelectedFileInfo& file) {
  const Mode mode = file.isPhoto ? Mode::Photo : Mode::Mp3;
  m_context.host.controls.SelectMode(mode);
  std::optional<TransferPlan> plan = file.isPhoto ? PreparePhoto(file, mode) : PrepareMp3(file);
  if (plan) {
    plan->batchFile = true;
  }
  return plan;
}

std::optional<TransferPlan> MediaBatch::PreparePhoto(const SelectedFileInfo& file, Mode mode) {
  SessionRoles& host = m_context.host;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file.path, error)) {
    host.prompts.MessageBox(text::CantOpen(file.path));
    return std::nullopt;
  }
  host.timers.ShowWaitDialog(std::string(text::kWaitConverting));
  host.timers.PumpMessages();
  std::optional<std::vector<std::uint8_t>> content = m_converter.ConvertPhoto(file.path, mode);
  host.timers.HideWaitDialog();
  if (!content) {
    host.prompts.MessageBox(std::string(text::kMakingPhotoError));
    return std::nullopt;
  }
  const auto length = static_cast<std::uint32_t>(content->size());
  const MediaHeaderRecord::Bytes record = MediaHeaderRecord::ForPhoto(file.name, length).Data();
  content->insert(content->begin(), record.begin(), record.end());
  TransferPlan plan = m_context.NewPlan(mode, true);
  plan.source = std::make_unique<MemorySource>(std::move(*content), file.path);
  if (!UpdateTransferSize(host, plan)) {
    return std::nullopt;
  }
  return plan;
}

// The MP3 goes out as stored, read block by block behind its record: never held whole.
std::optional<TransferPlan> MediaBatch::PrepareMp3(const SelectedFileInfo& file) {
  SessionRoles& host = m_context.host;
  ImageFile mp3;
  if (!mp3.Open(file.path)) {
    host.prompts.MessageBox(text::CantOpen(file.path));
    return std::nullopt;
  }
  const std::uint64_t length = mp3.Length();
  if (!FitsTransfer(host.prompts, kMediaHeaderSize + length, file.path)) {
    return std::nullopt;  // neither the request nor the record's size field could hold it
  }
  const CMp3Info info(file.path);
  const MediaHeaderRecord::Bytes record =
      MediaHeaderRecord::ForMp3(file.name, static_cast<std::uint32_t>(length), info.Duration(), info.Id3v1()).Data();
  TransferPlan plan = m_context.NewPlan(Mode::Mp3, true);
  plan.source =
      std::make_unique<FileSource>(std::move(mp3), 0, std::vector<std::uint8_t>(record.begin(), record.end()));
  if (!UpdateTransferSize(host, plan)) {
    return std::nullopt;
  }
  return plan;
}

// Starts the transfer of the list's first file and waits until the box has stored it. False when the
// wait ended otherwise (the owner closing, a second Start, the line lost, or the run ending).
bool MediaBatch::SendFile(TransferPlan plan, bool firstOfBatch) {
  SessionRoles& host = m_context.host;
  host.timers.Pause(kBeforeHandshakePauseMs);
  if (firstOfBatch) {
    host.timers.StartWatchdog(kWatchdogMilliseconds);
  }
  m_context.StartTransfer(std::move(plan));
  host.timers.ShowWaitDialog(std::string(text::kWaitForAWhile));
  host.timers.PumpMessages();

  m_context.transfer.SetBatchWaiting(true);
  const FileDoneWait result = host.batch.WaitForFileDone();
  m_context.transfer.SetBatchWaiting(false);
  if (result != FileDoneWait::Done || m_context.transfer.Closing()) {
    m_context.transfer.End(TransferEnd::Cancelled);
    return false;
  }
  return true;
}

bool MediaBatch::LoadBackgroundPhoto() {
  const std::optional<std::string> path = m_context.host.prompts.AskOpenFile(std::string(text::kPhotoFilter));
  if (!path) {
    return false;
  }
  const SelectedFileInfo file{*path, std::filesystem::path(*path).filename().string(), true};
  std::optional<TransferPlan> plan = PreparePhoto(file, Mode::Background);
  if (!plan) {
    return false;
  }
  m_context.host.timers.StartWatchdog(kWatchdogMilliseconds);
  m_context.StartTransfer(std::move(*plan));
  return true;
}

}  // namespace tw
