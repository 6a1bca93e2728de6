#include "session/image_file.h"

#include <filesystem>
#include <system_error>

namespace tw {

bool ImageFile::Open(const std::string& path) {
  Close();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return false;
  }
  const std::uintmax_t length = std::filesystem::file_size(path, error);
  m_file.open(path, std::ios::binary);
  if (error || !m_file.is_open()) {
    Close();
    return false;
  }
  m_length = length;
  m_path = path;
  return true;
}

std::size_t ImageFile::Read(std::uint8_t* out, std::size_t count) {
  if (!m_file.is_open()) {
    return 0;
  }
  m_file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
  const auto got = static_cast<std::size_t>(m_file.gcount());
  m_file.clear();  // a short read at the end leaves the file usable
  return got;
}

bool ImageFile::Seek(std::uint64_t offset) {
  if (!m_file.is_open()) {
    return false;
  }
  m_file.clear();
  m_file.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(m_file);
}

std::uint64_t ImageFile::Position() {
  if (!m_file.is_open()) {
    return 0;
  }
  const std::streamoff position = m_file.tellg();
  return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

void ImageFile::Close() {
  if (m_file.is_open()) {
    m_file.close();
  }
  m_file.clear();
  m_length = 0;
}

}  // namespace tw
