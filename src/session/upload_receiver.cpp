#include "session/upload_receiver.h"

#include <algorithm>
#include <cstring>

#include "session/session_texts.h"

namespace tw {

void UploadReceiver::Begin(std::uint32_t total) {
  m_context.state.receivedCount = 0;
  m_context.state.uploadTotal = total;
}

std::size_t UploadReceiver::BytesWanted() const {
  const TransferState& state = m_context.state;
  if (state.receivedCount >= state.uploadTotal) {
    return 0;
  }
  const std::uint32_t toBoundary = static_cast<std::uint32_t>(kBlockSize) - state.receivedCount % kBlockSize;
  return std::min(toBoundary, state.uploadTotal - state.receivedCount);
}

void UploadReceiver::ReceiveUploadData(const std::uint8_t* data, std::size_t count) {
  TransferState& state = m_context.state;
  count = std::min(count, BytesWanted());
  if (state.fileSource) {
    state.uploadFile.Write(data, count);
  } else {
    std::memcpy(state.uploadBuffer.data() + state.receivedCount, data, count);
  }
  state.receivedCount += static_cast<std::uint32_t>(count);

  if (state.receivedCount % kBlockSize != 0 && state.receivedCount < state.uploadTotal) {
    return;
  }
  const std::uint64_t done = state.receivedCount;
  m_context.host.SetProgress(static_cast<int>(done * 100 / state.uploadTotal), done, state.uploadTotal);
  state.receiving = false;
  m_context.link.SendUploadAck();
  if (state.receivedCount >= state.uploadTotal) {
    EndUpload();
  }
}

void UploadReceiver::EndUpload() {
  TransferState& state = m_context.state;
  const std::uint32_t received = state.receivedCount;
  state.receivedCount = 0;
  if (state.fileSource) {
    state.fileSource = false;
    if (!state.uploadFile.Commit()) {
      m_context.host.MessageBox(text::CantOpen(state.uploadTarget));
      m_context.host.OperationFinished(false);
      return;
    }
    m_context.host.MessageBox(std::string(text::kEndOfReceiving));
  } else {
    m_context.host.ViewerShowUpload(state.uploadBuffer.data(), received);
  }
  m_context.host.OperationFinished(true);
}

}  // namespace tw
