#include "session/image_file.h"

#include <sys/stat.h>

namespace tw {

ImageFile::~ImageFile() { Close(); }

bool ImageFile::Open(const std::string& path) {
  Close();
  m_file = std::fopen(path.c_str(), "rb");
  if (m_file == nullptr) {
    return false;
  }
  struct stat info {};
  if (fstat(fileno(m_file), &info) != 0 || !S_ISREG(info.st_mode)) {
    Close();
    return false;
  }
  m_length = static_cast<std::uint64_t>(info.st_size);
  m_path = path;
  return true;
}

std::size_t ImageFile::Read(std::uint8_t* out, std::size_t count) {
  return m_file == nullptr ? 0 : std::fread(out, 1, count, m_file);
}

bool ImageFile::Seek(std::uint64_t offset) {
  return m_file != nullptr && fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::uint64_t ImageFile::Position() const {
  const off_t position = m_file == nullptr ? 0 : ftello(m_file);
  return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

void ImageFile::Close() {
  if (m_file != nullptr) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  m_length = 0;
}

}  // namespace tw
