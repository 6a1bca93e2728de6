#include "session/file_source.h"

#include <algorithm>

namespace tw {

FileSource::FileSource(ImageFile file, std::uint64_t start, std::vector<std::uint8_t> prefix)
    : m_file(std::move(file)), m_start(start), m_prefix(std::move(prefix)) {}

std::uint64_t FileSource::Size() const {
  const std::uint64_t body = m_file.Length() > m_start ? m_file.Length() - m_start : 0;
  return m_prefix.size() + body;
}

bool FileSource::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  if (offset < m_prefix.size()) {
    const std::size_t fromPrefix = std::min<std::size_t>(count, m_prefix.size() - offset);
    std::copy_n(m_prefix.begin() + static_cast<std::ptrdiff_t>(offset), fromPrefix, out);
    out += fromPrefix;
    count -= fromPrefix;
    offset += fromPrefix;
  }
  if (count == 0) {
    return true;
  }
  return m_file.Seek(m_start + offset - m_prefix.size()) && m_file.Read(out, count) == count;
}

}  // namespace tw
