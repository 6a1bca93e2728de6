#include "session/upload_file.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tw {

UploadFile::~UploadFile() { Discard(); }

bool UploadFile::Create(const std::string& target) {
  Discard();
  std::string pattern = target + ".partXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    return false;
  }
  m_file = fdopen(fd, "wb");
  if (m_file == nullptr) {
    close(fd);
    unlink(name.data());
    return false;
  }
  m_target = target;
  m_temporary = name.data();
  return true;
}

bool UploadFile::Write(const std::uint8_t* data, std::size_t count) {
  return m_file != nullptr && std::fwrite(data, 1, count, m_file) == count;
}

bool UploadFile::Commit() {
  if (m_file == nullptr) {
    return false;
  }
  const bool flushed = std::fflush(m_file) == 0 && fsync(fileno(m_file)) == 0;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  if (flushed && closed && std::rename(m_temporary.c_str(), m_target.c_str()) == 0) {
    m_temporary.clear();
    return true;
  }
  unlink(m_temporary.c_str());
  m_temporary.clear();
  return false;
}

void UploadFile::Discard() {
  if (m_file != nullptr) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  if (!m_temporary.empty()) {
    unlink(m_temporary.c_str());
    m_temporary.clear();
  }
}

}  // namespace tw
