#include "media/memory_byte_source.h"

#include <algorithm>

namespace tw {

MemoryByteSource::MemoryByteSource(std::span<const std::uint8_t> bytes) : MemoryByteSource(bytes, bytes.size()) {}

MemoryByteSource::MemoryByteSource(std::span<const std::uint8_t> bytes, std::uint64_t size)
    : m_bytes(bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), size)))), m_size(size) {}

std::size_t MemoryByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset >= m_size) {
    return 0;
  }
  const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), m_size - offset));
  std::fill_n(out.begin(), count, std::uint8_t{0});
  if (offset < m_bytes.size()) {
    const auto stored = std::min(count, m_bytes.size() - static_cast<std::size_t>(offset));
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), stored, out.begin());
  }
  return count;
}

}  // namespace tw
