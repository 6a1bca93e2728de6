#include "controls/hex_buffer.h"

#include <algorithm>
#include <limits>

namespace tw {

void HexBuffer::AppendByte(std::uint8_t value, std::uint32_t index) {
  const std::size_t size = std::size_t{index} + 1;
  m_bytes.resize(size);  // std::vector grows its capacity geometrically
  m_bytes[index] = value;
  m_hasData = true;
  m_length = static_cast<std::uint32_t>(std::min<std::size_t>(m_length, size));
}

void HexBuffer::SetLength(std::uint32_t n) {
  if (!m_hasData && n == 0) {
    m_length = 0;
    return;
  }
  if (m_bytes.size() < n) {
    m_bytes.resize(n);
  }
  m_hasData = true;
  m_length = n;
}

void HexBuffer::Clear() {
  m_bytes = {};
  m_length = 0;
  m_hasData = false;
}

std::span<const std::uint8_t> HexBuffer::Range(std::uint32_t start, std::uint32_t end) const {
  end = std::min(end, m_length);
  start = std::min(start, end);
  return {m_bytes.data() + start, end - start};
}

void HexBuffer::Erase(std::uint32_t start, std::uint32_t end) {
  end = std::min(end, m_length);
  start = std::min(start, end);
  m_bytes.erase(m_bytes.begin() + start, m_bytes.begin() + end);
  m_length -= end - start;
}

bool HexBuffer::InsertZeros(std::uint32_t pos, std::uint32_t n) {
  if (n > std::numeric_limits<std::uint32_t>::max() - m_length) {
    return false;
  }
  pos = std::min(pos, m_length);
  m_bytes.resize(m_length);  // drop bytes beyond the data so the zeros land inside it
  m_bytes.insert(m_bytes.begin() + pos, n, std::uint8_t{0});
  m_length += n;
  m_hasData = true;
  return true;
}

void HexBuffer::Overwrite(std::uint32_t pos, std::span<const std::uint8_t> bytes) {
  const std::uint32_t room = pos < m_length ? m_length - pos : 0;
  const auto count = std::min<std::size_t>(room, bytes.size());
  std::copy_n(bytes.begin(), count, m_bytes.begin() + pos);
}

}  // namespace tw
