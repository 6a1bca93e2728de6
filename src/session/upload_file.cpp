#include "session/upload_file.h"

#include <random>
#include <system_error>

namespace tw {

namespace {

constexpr int kNameAttempts = 16;

// A name beside the target that no other file has: "<target>.part<random hex>".
std::filesystem::path FreeTemporaryName(const std::filesystem::path& target) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += ".part" + std::to_string(random());
    std::error_code error;
    if (!std::filesystem::exists(candidate, error) && !error) {
      return candidate;
    }
  }
  return {};
}

}  // namespace

UploadFile::~UploadFile() { Discard(); }

bool UploadFile::Create(const std::string& target) {
  Discard();
  const std::filesystem::path temporary = FreeTemporaryName(target);
  if (temporary.empty()) {
    return false;
  }
  m_file.open(temporary, std::ios::binary | std::ios::trunc);
  if (!m_file.is_open()) {
    m_file.clear();
    return false;
  }
  m_target = target;
  m_temporary = temporary;
  return true;
}

bool UploadFile::Write(const std::uint8_t* data, std::size_t count) {
  if (!m_file.is_open()) {
    return false;
  }
  m_file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
  return static_cast<bool>(m_file);
}

bool UploadFile::Commit() {
  if (!m_file.is_open()) {
    return false;
  }
  m_file.close();
  const bool written = static_cast<bool>(m_file);
  std::error_code error;
  if (written) {
    std::filesystem::rename(m_temporary, m_target, error);
  }
  if (!written || error) {
    Discard();
    return false;
  }
  m_temporary.clear();
  return true;
}

void UploadFile::Discard() {
  if (m_file.is_open()) {
    m_file.close();
  }
  m_file.clear();
  if (!m_temporary.empty()) {
    std::error_code ignored;
    std::filesystem::remove(m_temporary, ignored);
    m_temporary.clear();
  }
}

}  // namespace tw
