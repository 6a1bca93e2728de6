#include "media/file_byte_source.h"

#include <filesystem>
#include <system_error>

namespace tw {

FileByteSource::FileByteSource(const std::string& path) {
  std::error_code error;
  // file_size refuses directories, which the stream would happily "open".
  const auto size = std::filesystem::file_size(path, error);
  if (error) {
    return;
  }
  m_file.open(path, std::ios::binary);
  m_size = size;
  m_open = m_file.is_open();
}

std::size_t FileByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!m_open || offset >= m_size) {
    return 0;
  }
  m_file.clear();
  m_file.seekg(static_cast<std::streamoff>(offset));
  m_file.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<std::size_t>(m_file.gcount());
}

}  // namespace tw
