#include "link/reply_framer.h"

#include <algorithm>

namespace tw {

void ReplyFramer::Append(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds silence) {
  const bool partial = !m_bytes.empty() && m_bytes.size() < kReplySize;
  if (partial && silence >= kStaleAfter) {
    m_bytes.clear();
  }
  m_bytes.insert(m_bytes.end(), data, data + count);
}

bool ReplyFramer::NextFrame(ReplyFrame& out) {
  if (m_bytes.size() < kReplySize) {
    return false;
  }
  const auto end = m_bytes.begin() + static_cast<std::ptrdiff_t>(kReplySize);
  std::copy(m_bytes.begin(), end, out.bytes.begin());
  m_bytes.erase(m_bytes.begin(), end);
  return true;
}

std::size_t ReplyFramer::TakeData(std::uint8_t* out, std::size_t max) {
  const std::size_t n = std::min(max, m_bytes.size());
  const auto end = m_bytes.begin() + static_cast<std::ptrdiff_t>(n);
  std::copy(m_bytes.begin(), end, out);
  m_bytes.erase(m_bytes.begin(), end);
  return n;
}

std::size_t ReplyFramer::Buffered() const { return m_bytes.size(); }

void ReplyFramer::Clear() { m_bytes.clear(); }

}  // namespace tw
