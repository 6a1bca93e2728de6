#include "session/upload_receiver.h"

#include <algorithm>

#include "session/session_texts.h"

namespace tw {

bool UploadReceiver::BeginFile(const std::string& target) {
  if (!m_file.Create(target)) {
    return false;
  }
  m_target = target;
  Begin(kDatabaseSize, true);
  return true;
}

void UploadReceiver::BeginMemory(std::uint32_t total) {
  m_file.Discard();
  Begin(total, false);
}

void UploadReceiver::Begin(std::uint32_t total, bool toFile) {
  m_toFile = toFile;
  m_received = 0;
  m_total = total;
}

std::size_t UploadReceiver::BytesWanted() const {
  if (m_received >= m_total) {
    return 0;
  }
  const std::uint32_t toBoundary = static_cast<std::uint32_t>(kBlockSize) - m_received % kBlockSize;
  return std::min(toBoundary, m_total - m_received);
}

void UploadReceiver::ReceiveUploadData(const std::uint8_t* data, std::size_t count) {
  count = std::min(count, BytesWanted());
  if (m_toFile) {
    m_file.Write(data, count);
  } else {
    std::copy_n(data, count, m_buffer.begin() + m_received);
  }
  m_received += static_cast<std::uint32_t>(count);

  if (m_received % kBlockSize != 0 && m_received < m_total) {
    return;
  }
  const std::uint64_t done = m_received;
  m_context.host.progress.SetProgress(static_cast<int>(done * 100 / m_total), done, m_total);
  m_context.transfer.StopTakingData();
  m_context.link.SendUploadAck();
  if (m_received >= m_total) {
    EndUpload();
  }
}

void UploadReceiver::EndUpload() {
  const std::uint32_t received = m_received;
  m_received = 0;
  if (m_toFile) {
    if (!m_file.Commit()) {
      m_context.host.prompts.MessageBox(text::CantOpen(m_target));
      m_context.transfer.End(TransferEnd::Failed);
      return;
    }
    m_context.host.prompts.MessageBox(std::string(text::kEndOfReceiving));
  } else {
    m_context.host.viewer.ViewerShowUpload(m_buffer.data(), received);
  }
  m_context.transfer.End(TransferEnd::Success);
}

void UploadReceiver::Discard() {
  m_file.Discard();
  m_received = 0;
}

}  // namespace tw
