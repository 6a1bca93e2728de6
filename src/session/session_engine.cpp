#include "session/session_engine.h"

#include <algorithm>
#include <cstring>

#include "link/loader_crc.h"
#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr int kWriteCompletePauseMs = 300;
constexpr int kFileDonePauseMs = 2000;
constexpr std::size_t kEepromAddressDigits = 4;
constexpr std::size_t kAddressDigits = 8;

}  // namespace

void CSessionEngine::OnReceivedData(std::size_t length) {
  OnBytes(m_context.link.ReceiveBuffer(), length);
  m_context.link.ReleaseChunk();
}

void CSessionEngine::OnBytes(const std::uint8_t* data, std::size_t count) {
  m_context.framer.Append(data, count, ReplyFramer::Clock::now());
  ProcessBuffered();
}

void CSessionEngine::ProcessBuffered() {
  std::array<std::uint8_t, kBlockSize> data{};
  ReplyFrame frame;
  for (;;) {
    if (m_context.state.receiving) {
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

void CSessionEngine::OnReply(std::uint8_t code, std::uint8_t parameter) {
  TransferState& state = m_context.state;
  SessionHost& host = m_context.host;
  switch (code) {
    case rpl::kHello:
      host.StopWatchdog();
      m_context.link.SendSpeed(host.SpeedIndex());
      break;
    case rpl::kSendData:
      if (state.download) {
        OnSendData();
      }
      break;
    case rpl::kCommError:
      Fail(text::kCommError);
      break;
    case rpl::kBadHeader:
      Fail(text::kBadHeader);
      break;
    case rpl::kFlashWriting:
      host.SetProgressCaption(text::FlashWriting(parameter));
      break;
    case rpl::kSpeedAck:
      m_context.link.SendSpeedConfirm();
      m_context.link.Reconnect(host.PortIndex(), host.SpeedIndex());
      m_context.framer.Clear();  // the reopened port starts with empty queues
      break;
    case rpl::kGetRequest:
      OnGetRequest();
      break;
    case rpl::kCommProblem:
      Fail(text::kCommProblem);
      break;
    case rpl::kInvalidSw:
      Fail(text::kInvalidSw);
      break;
    case rpl::kBlockOk:
      if (state.sending) {
        if (host.WaitDialogShown()) {
          host.HideWaitDialog();
        }
        state.fileSource ? SendFileBlock(BlockKind::Next) : SendViewerBlock(BlockKind::Next);
      }
      break;
    case rpl::kBlockFailed:
      OnBlockFailed();
      break;
    case rpl::kComplete:
      OnComplete();
      break;
    case rpl::kUploadData:
      // During a download this would turn the box's next replies into file data; with no upload
      // under way there is nothing to take.
      if (!state.download && m_receiver.BytesWanted() > 0) {
        state.receiving = true;
      }
      break;
    case rpl::kGetDataNak:
      OnGetDataNak();
      break;
    case rpl::kBlockResend:
      if (state.download) {
        OnBlockResend();
      }
      break;
    case rpl::kHeaderCrcError:
      host.MessageBox(std::string(text::kHeaderCrcError));
      break;
    case rpl::kDataCrcError:
      host.MessageBox(std::string(text::kDataCrcError));
      break;
    case rpl::kNoHddSpace:
      Fail(text::kNoHddSpace);
      break;
    case rpl::kPhotoError:
      Fail(text::kPhotoError);
      break;
    default:
      break;
  }
}

void CSessionEngine::Fail(std::string_view message) {
  m_context.host.MessageBox(std::string(message));
  m_context.host.OperationFinished(false);
}

void CSessionEngine::OnSendData() {
  TransferState& state = m_context.state;
  state.sending = true;
  if (state.fileSource) {
    state.remaining = state.transferSize;
    state.imageFile.Seek(state.imageStart);  // a repeated request starts the image over
    SendFileBlock(BlockKind::First);
  } else {
    state.remaining = static_cast<std::uint32_t>(state.viewerData.size());
    SendViewerBlock(BlockKind::First);
  }
}

void CSessionEngine::OnGetRequest() {
  SessionHost& host = m_context.host;
  const std::string start = host.StartText();
  std::string address;
  switch (m_context.CurrentMode()) {
    case Mode::Eeprom:
      address = "0000" + LastChars(start, kEepromAddressDigits);
      break;
    case Mode::Sdram:
    case Mode::Flash:
      address = LastChars(start, kAddressDigits);
      break;
    case Mode::Database:
      address = "fffa0000";
      break;
    default:
      address = start;
      break;
  }
  m_context.link.SendRequest(host.ModeIndex(), m_context.state.download, address);
}

void CSessionEngine::OnBlockResend() {
  switch (m_context.state.lastBlockSource) {
    case LastBlockSource::File:
      SendFileBlock(BlockKind::Resend);
      break;
    case LastBlockSource::Viewer:
      SendViewerBlock(BlockKind::Resend);
      break;
    case LastBlockSource::None:
      break;
  }
}

void CSessionEngine::OnBlockFailed() {
  TransferState& state = m_context.state;
  state.sending = false;
  m_context.host.MessageBox(std::string(text::kCommProblem));
  state.ReleaseMedia();
  state.imageFile.Close();
  m_context.host.OperationFinished(false);
}

void CSessionEngine::OnComplete() {
  SessionHost& host = m_context.host;
  const Mode mode = m_context.CurrentMode();
  if (mode == Mode::Mp3 || mode == Mode::Photo) {
    m_context.link.Reconnect(host.PortIndex(), kFastestSpeedIndex);
    m_context.framer.Clear();
    if (host.SelectedCount() == 1) {
      host.MessageBox(std::string(text::kWriteComplete));
      host.Pause(kWriteCompletePauseMs);
    }
    host.Pause(kFileDonePauseMs);
    host.PostFileDone();
    return;
  }
  host.SetProgressCaption(std::string(text::kDownloadComplete));
  host.MessageBox(std::string(text::kDownloadComplete));
  host.OperationFinished(true);
}

void CSessionEngine::OnGetDataNak() {
  TransferState& state = m_context.state;
  state.receiving = false;
  if (state.fileSource) {
    // The upload stopped early: the target keeps what it held before.
    state.uploadFile.Discard();
    state.fileSource = false;
  }
  Fail(text::kGetDataNak);
}

void CSessionEngine::SendViewerBlock(BlockKind kind) {
  TransferState& state = m_context.state;
  const auto total = static_cast<std::uint32_t>(state.viewerData.size());
  std::uint32_t offset = total - state.remaining;
  std::uint32_t n = std::min<std::uint32_t>(state.remaining, kBlockSize);
  if (kind == BlockKind::Resend) {
    offset = state.lastViewerOffset;
    n = state.lastBlockLength;
  }
  CommandHeader header = NewHeader(cmd::kDataBlock);
  const std::uint8_t* payload = state.viewerData.data() + offset;
  PutBigEndian32(header.data() + 3, Crc(payload, n));
  m_context.link.Send(header.data(), header.size());
  if (n > 0) {
    m_context.link.Send(payload, n);
  }
  state.lastBlockSource = LastBlockSource::Viewer;
  state.lastViewerOffset = offset;
  state.lastBlockLength = n;
  if (kind != BlockKind::Resend) {
    state.remaining -= n;
    if (state.remaining == 0) {
      state.sending = false;
    }
  }
}

void CSessionEngine::SendFileBlock(BlockKind kind) {
  TransferState& state = m_context.state;
  std::uint32_t n = std::min<std::uint32_t>(state.remaining, kBlockSize);
  if (kind == BlockKind::Resend) {
    n = state.lastBlockLength;
  } else if (!state.mediaBuffer.empty()) {
    const std::size_t offset = state.transferSize - state.remaining;
    std::memcpy(state.blockBuffer.data(), state.mediaBuffer.data() + offset, n);
  } else {
    const std::size_t got = state.imageFile.Read(state.blockBuffer.data(), n);
    std::fill(state.blockBuffer.begin() + static_cast<std::ptrdiff_t>(got), state.blockBuffer.begin() + n, 0);
  }
  m_context.link.SendDataBlock(state.blockBuffer.data(), n, kind);
  state.lastBlockSource = LastBlockSource::File;
  state.lastBlockLength = n;

  const std::uint64_t done = state.transferSize - state.remaining;
  if (state.transferSize != 0) {
    m_context.host.SetProgress(static_cast<int>(done * 100 / state.transferSize), done, state.transferSize);
  }
  if (kind == BlockKind::Resend) {
    return;
  }
  state.remaining -= n;
  if (state.remaining == 0) {
    m_context.host.SetProgress(100, state.transferSize, state.transferSize);
    state.sending = false;
    state.fileSource = false;
    state.imageFile.Close();
    state.ReleaseMedia();
  }
}

void CSessionEngine::OnTimer(int timerId) {
  if (timerId == kWatchdogTimerId) {
    m_context.host.StopWatchdog();
    m_context.host.MessageBox(std::string(text::kWatchdog));
  }
}

void CSessionEngine::OnLineLost() {
  AbandonTransfer();
  m_context.host.SetComStatus(false);
  Fail(text::kWatchdog);
}

void CSessionEngine::AbandonTransfer() {
  TransferState& state = m_context.state;
  state.sending = false;
  state.receiving = false;
  state.fileSource = false;
  state.imageFile.Close();
  state.uploadFile.Discard();
  state.ReleaseMedia();
  m_context.framer.Clear();
}

}  // namespace tw
