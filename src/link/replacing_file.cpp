#include "link/replacing_file.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace tw {

namespace {

constexpr int kNameAttempts = 16;
constexpr std::string_view kTemporaryMark = ".part";
constexpr int kMaxLinkHops = 40;
constexpr auto kAnyWrite =
    std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write;

// The file a chain of links ends at; the path itself when it is no link.
std::filesystem::path FollowLinks(std::filesystem::path path) {
  std::error_code error;
  for (int hop = 0; hop < kMaxLinkHops && std::filesystem::is_symlink(path, error); ++hop) {
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) {
      break;
    }
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

// A file marked read-only is refused even where the system would let this user write it.
bool MayOverwrite(const std::filesystem::path& path, std::filesystem::perms permissions) {
  if ((permissions & kAnyWrite) == std::filesystem::perms::none) {
    return false;
  }
  std::ofstream probe(path, std::ios::binary | std::ios::app);
  return probe.is_open();
}

// A name beside the target that no other file has: "<target>.part<random number>".
std::filesystem::path FreeTemporaryName(const std::filesystem::path& target) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += std::string(kTemporaryMark) + std::to_string(random());
    std::error_code error;
    if (!std::filesystem::exists(candidate, error) && !error) {
      return candidate;
    }
  }
  return {};
}

}  // namespace

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::IsTemporary(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  const auto mark = name.rfind(kTemporaryMark);
  if (mark == std::string::npos || mark + kTemporaryMark.size() == name.size()) {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(mark + kTemporaryMark.size()), name.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool ReplacingFile::Create(const std::filesystem::path& target) {
  Discard();
  const std::filesystem::path real = FollowLinks(target);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(real, error);
  if (error && status.type() != std::filesystem::file_type::not_found) {
    return false;
  }
  m_keptPermissions.reset();
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_regular_file(status) || !MayOverwrite(real, status.permissions())) {
      return false;
    }
    m_keptPermissions = status.permissions();
  }
  const std::filesystem::path temporary = FreeTemporaryName(real);
  if (temporary.empty()) {
    return false;
  }
  m_file.open(temporary, std::ios::binary | std::ios::trunc);
  if (!m_file.is_open()) {
    m_file.clear();
    return false;
  }
  m_target = real;
  m_temporary = temporary;
  return true;
}

bool ReplacingFile::Write(const std::uint8_t* data, std::size_t count) {
  if (!m_file.is_open()) {
    return false;
  }
  m_file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
  return static_cast<bool>(m_file);
}

bool ReplacingFile::Commit() {
  if (!m_file.is_open()) {
    return false;
  }
  m_file.close();
  const bool written = static_cast<bool>(m_file);
  std::error_code error;
  if (written && m_keptPermissions) {
    std::filesystem::permissions(m_temporary, *m_keptPermissions, error);
  }
  if (written && !error) {
    std::filesystem::rename(m_temporary, m_target, error);
  }
  if (!written || error) {
    Discard();
    return false;
  }
  m_temporary.clear();
  return true;
}

void ReplacingFile::Discard() {
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
