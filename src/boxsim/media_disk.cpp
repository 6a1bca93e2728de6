#include "boxsim/media_disk.h"

#include "link/private_folder.h"

#include <string>
#include <system_error>

namespace tw {

MediaDisk::MediaDisk(std::filesystem::path root, std::uint64_t capacity, unsigned maxPhotos)
    : m_root(std::move(root)), m_capacity(capacity), m_maxPhotos(maxPhotos) {
  if (m_root.empty()) {
    m_root = MakePrivateFolder("tarnwick-boxsim-disk");
    m_ownsRoot = true;
  }
  std::error_code error;
  std::filesystem::create_directories(m_root / "mp3", error);
  std::filesystem::create_directories(m_root / "photo", error);
}

MediaDisk::~MediaDisk() {
  Abort();
  if (m_ownsRoot && !m_root.empty()) {
    std::error_code error;
    std::filesystem::remove_all(m_root, error);
  }
}

std::string MediaDisk::StoredName(std::string_view name) {
  std::string clean;
  clean.reserve(name.size());
  for (char c : name) {
    const auto code = static_cast<unsigned char>(c);
    // Also what Windows refuses in a file name, so the disk works the same there.
    const bool unsafe =
        std::string_view(R"(/\:<>"|?*)").find(c) != std::string_view::npos || code < 0x20 || code == 0x7F;
    clean.push_back(unsafe ? '_' : c);
  }
  if (clean.find_first_not_of('.') == std::string::npos) {
    return "unnamed";  // "." and ".." are no file names; Windows would also drop trailing dots
  }
  return clean;
}

std::filesystem::path MediaDisk::PathFor(Mode mode, const MediaHeaderRecord& record) const {
  switch (mode) {
    case Mode::Mp3:
      return m_root / "mp3" / StoredName(record.Name());
    case Mode::Photo:
      return m_root / "photo" / StoredName(record.Name());
    default:
      return m_root / "background.slot";
  }
}

std::uint64_t MediaDisk::FolderBytes(const std::filesystem::path& folder) const {
  std::uint64_t total = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && !ReplacingFile::IsTemporary(entry.path())) {
      total += entry.file_size(error);
    }
  }
  return total;
}

std::uint64_t MediaDisk::UsedBytes() const { return FolderBytes(m_root / "mp3") + FolderBytes(m_root / "photo"); }

unsigned MediaDisk::PhotoCount() const {
  unsigned count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(m_root / "photo", error)) {
    count += entry.is_regular_file(error) && !ReplacingFile::IsTemporary(entry.path()) ? 1 : 0;
  }
  return count;
}

std::uint64_t MediaDisk::ExistingSize(const std::filesystem::path& file) const {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
}

std::optional<std::uint8_t> MediaDisk::Admit(Mode mode, const MediaHeaderRecord& record) const {
  if (mode == Mode::Background) {
    return std::nullopt;  // its own slot, outside the disk's accounting
  }
  const std::filesystem::path target = PathFor(mode, record);
  const bool replaces = std::filesystem::exists(target);
  // A file of the same name is replaced, so its room counts as free.
  const std::uint64_t used = UsedBytes() - ExistingSize(target);
  if (used > m_capacity || record.Length() > m_capacity - used) {
    return rpl::kNoHddSpace;
  }
  if (mode == Mode::Photo && !replaces && PhotoCount() >= m_maxPhotos) {
    return rpl::kPhotoError;
  }
  return std::nullopt;
}

bool MediaDisk::Begin(Mode mode, const MediaHeaderRecord& record) { return m_file.Create(PathFor(mode, record)); }

bool MediaDisk::Append(const std::uint8_t* data, std::size_t size) { return m_file.Write(data, size); }

bool MediaDisk::Commit() { return m_file.Commit(); }

void MediaDisk::Abort() { m_file.Discard(); }

}  // namespace tw
