#include "session/session_engine.h"

#include "link/loader_link.h"
#include "session/session_texts.h"

namespace tw {

namespace {

constexpr int kWriteCompletePauseMs = 300;
constexpr int kFileDonePauseMs = 2000;

[[nodiscard]] bool IsBatchMedia(Mode mode) { return mode == Mode::Mp3 || mode == Mode::Photo; }

}  // namespace

void SessionEngine::OnReceivedData(std::size_t length) {
  OnBytes(m_context.link.ReceiveBuffer(), length, m_context.link.ChunkSilence());
  m_context.link.ReleaseChunk();
}

void SessionEngine::OnBytes(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds silence) {
  m_context.framer.Append(data, count, silence);
  ProcessBuffered();
}

void SessionEngine::ProcessBuffered() {
  std::array<std::uint8_t, kBlockSize> data{};
  ReplyFrame frame;
  for (;;) {
    if (m_context.transfer.TakingData()) {
      const std::size_t taken = m_context.framer.TakeData(data.data(), m_receiver.BytesWanted());
      if (taken == 0) {
        return;
      }
      m_receiver.ReceiveUploadData(data.data(), taken);
    } else if (m_context.framer.NextFrame(frame)) {
      if (frame.Code() != 0) {
        OnReply(frame.Code(), frame.Parameter());
      }
    } else {
      return;
    }
  }
}

void SessionEngine::OnReply(std::uint8_t code, std::uint8_t parameter) {
  TransferMachine& transfer = m_context.transfer;
  SessionRoles& host = m_context.host;
  switch (code) {
    case rpl::kHello:
      host.timers.StopWatchdog();
      if (transfer.Active()) {
        m_context.link.SendSpeed(host.controls.Speed());
      }
      break;
    case rpl::kSendData:
      OnSendData();
      break;
    case rpl::kCommError:
      Refuse(text::kCommError, TransferEnd::Failed);
      break;
    case rpl::kBadHeader:
      Refuse(text::kBadHeader, TransferEnd::Refused);
      break;
    case rpl::kFlashWriting:
      host.progress.SetProgressCaption(text::FlashWriting(parameter));
      break;
    case rpl::kSpeedAck:
      OnSpeedAck();
      break;
    case rpl::kGetRequest:
      OnGetRequest();
      break;
    case rpl::kCommProblem:
      Refuse(text::kCommProblem, TransferEnd::Failed);
      break;
    case rpl::kInvalidSw:
      Refuse(text::kInvalidSw, TransferEnd::Refused);
      break;
    case rpl::kBlockOk:
      OnBlockOk();
      break;
    case rpl::kBlockFailed:
      OnBlockFailed();
      break;
    case rpl::kComplete:
      OnComplete();
      break;
    case rpl::kUploadData:
      if (m_receiver.BytesWanted() > 0) {
        transfer.StartTakingData();
      }
      break;
    case rpl::kGetDataNak:
      OnGetDataNak();
      break;
    case rpl::kBlockResend:
      OnBlockResend();
      break;
    case rpl::kHeaderCrcError:
      host.prompts.MessageBox(std::string(text::kHeaderCrcError));
      break;
    case rpl::kDataCrcError:
      host.prompts.MessageBox(std::string(text::kDataCrcError));
      break;
    case rpl::kNoHddSpace:
      Refuse(text::kNoHddSpace, TransferEnd::Refused);
      break;
    case rpl::kPhotoError:
      Refuse(text::kPhotoError, TransferEnd::Refused);
      break;
    default:
      break;
  }
}

// The box has given up on the transfer: say what it said; nothing more of this transfer goes out.
void SessionEngine::Refuse(std::string_view message, TransferEnd reason) {
  m_context.host.prompts.MessageBox(std::string(message));
  Fail(reason);
}

// An operation whose transfer had already ended (or never began) still ends in failure.
void SessionEngine::Fail(TransferEnd reason) {
  if (!m_context.transfer.End(reason)) {
    m_context.host.result.OperationFinished(false);
  }
}

void SessionEngine::OnSpeedAck() {
  if (!m_context.transfer.Active()) {
    return;
  }
  SessionRoles& host = m_context.host;
  m_context.link.SendSpeedConfirm();
  const bool reopened = m_context.link.Reconnect(host.controls.Port(), host.controls.Speed());
  m_context.framer.Clear();  // the reopened port starts with empty queues
  if (!reopened) {
    OnReopenFailed();
    return;
  }
  m_context.transfer.Negotiated();
}

void SessionEngine::OnGetRequest() {
  TransferMachine& transfer = m_context.transfer;
  if (!transfer.Active()) {
    return;
  }
  const TransferPlan& plan = transfer.Plan();
  m_context.link.SendRequest(plan.mode, plan.download, plan.address);
  transfer.Requested();
}

void SessionEngine::OnSendData() {
  if (m_context.transfer.Plan().download) {
    SendBlock(BlockKind::First);
  }
}

void SessionEngine::OnBlockOk() {
  TransferMachine& transfer = m_context.transfer;
  if (transfer.Phase() != TransferPhase::Sending) {
    return;
  }
  if (m_context.host.timers.WaitDialogShown()) {
    m_context.host.timers.HideWaitDialog();
  }
  SendBlock(BlockKind::Next);
}

void SessionEngine::OnBlockResend() { SendBlock(BlockKind::Resend); }

void SessionEngine::OnBlockFailed() { Refuse(text::kCommProblem, TransferEnd::Failed); }

// Success needs a download whose every block went out; the box acknowledges the last one with this.
void SessionEngine::OnComplete() {
  TransferMachine& transfer = m_context.transfer;
  if (!transfer.Active()) {
    return;
  }
  SessionRoles& host = m_context.host;
  const TransferPlan& plan = transfer.Plan();
  const bool complete = plan.download && transfer.Phase() == TransferPhase::Sending && transfer.AllSent();
  if (IsBatchMedia(plan.mode)) {
    if (complete) {
      OnMediaStored();
      return;
    }
  } else {
    host.progress.SetProgressCaption(std::string(text::kDownloadComplete));
    host.prompts.MessageBox(std::string(text::kDownloadComplete));
    if (complete) {
      transfer.End(TransferEnd::Success);
      return;
    }
  }
  const std::uint64_t done = plan.download ? transfer.SentBytes() : m_receiver.ReceivedCount();
  host.prompts.MessageBox(text::Incomplete(done, plan.size));
  m_receiver.Discard();
  transfer.End(TransferEnd::Failed);
}

// The box stored an MP3 or a photo: back to the idle speed, then hand over to the batch.
void SessionEngine::OnMediaStored() {
  SessionRoles& host = m_context.host;
  m_context.transfer.End(TransferEnd::Success);
  const bool reopened = m_context.link.Reconnect(host.controls.Port(), kFastestSpeed);
  m_context.framer.Clear();
  if (!reopened) {
    OnReopenFailed();
    return;
  }
  if (host.batch.SelectedCount() == 1) {
    host.prompts.MessageBox(std::string(text::kWriteComplete));
    host.timers.Pause(kWriteCompletePauseMs);
  }
  host.timers.Pause(kFileDonePauseMs);
  host.batch.PostFileDone();
}

void SessionEngine::OnGetDataNak() {
  if (!m_context.transfer.Plan().download) {
    m_receiver.Discard();
  }
  Refuse(text::kGetDataNak, TransferEnd::Failed);
}

void SessionEngine::SendBlock(BlockKind kind) {
  m_context.transfer.Plan().viewerBlocks ? SendViewerBlock(kind) : SendFileBlock(kind);
}

std::optional<DataBlock> SessionEngine::TakeBlock(BlockKind kind) {
  TransferMachine& transfer = m_context.transfer;
  switch (kind) {
    case BlockKind::First:
      return transfer.FirstBlock();
    case BlockKind::Next:
      return transfer.NextBlock();
    case BlockKind::Resend:
      return transfer.RepeatBlock();
  }
  return std::nullopt;
}

// Hex-viewer blocks carry sequence 0 and go out as header and payload apart.
void SessionEngine::SendViewerBlock(BlockKind kind) {
  const std::optional<DataBlock> block = TakeBlock(kind);
  if (!block) {
    return;
  }
  m_context.link.SendViewerDataBlock(block->data, block->length);
}

void SessionEngine::SendFileBlock(BlockKind kind) {
  const std::optional<DataBlock> block = TakeBlock(kind);
  if (!block) {
    return;
  }
  m_context.link.SendDataBlock(block->data, block->length, kind);
  const std::uint64_t total = m_context.transfer.Plan().size;
  ShowProgress(block->offset, total);
  if (kind != BlockKind::Resend && m_context.transfer.AllSent()) {
    ShowProgress(total, total);
  }
}

void SessionEngine::ShowProgress(std::uint64_t done, std::uint64_t total) {
  if (total != 0) {
    m_context.host.progress.SetProgress(static_cast<int>(done * 100 / total), done, total);
  }
}

void SessionEngine::OnTimer(int timerId) {
  if (timerId == kWatchdogTimerId) {
    m_context.host.timers.StopWatchdog();
    m_context.host.prompts.MessageBox(std::string(text::kWatchdog));
  }
}

void SessionEngine::OnLineLost() {
  m_context.framer.Clear();
  m_context.host.controls.SetComStatus(false);
  Refuse(text::kWatchdog, TransferEnd::LineLost);
}

// The link has shown why it could not open the port.
void SessionEngine::OnReopenFailed() {
  m_context.host.controls.SetComStatus(false);
  m_receiver.Discard();
  Fail(TransferEnd::LineLost);
  m_context.host.batch.CancelFileDoneWait();
}

}  // namespace tw
