#pragma once
// The box's hard disk: MP3 files and photos by name, the background picture in a slot of its own.
//   <root>/mp3/<name>   <root>/photo/<name>   <root>/background.slot
// A file arrives beside its final name and is renamed when complete, so an aborted transfer leaves nothing.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/replacing_file.h"
#include "link/wire_format.h"
#include "media/media_header_record.h"

namespace tw {

class MediaDisk {
 public:
  // An empty root makes a temporary folder that is removed with the disk.
  MediaDisk(std::filesystem::path root, std::uint64_t capacity, unsigned maxPhotos);
  ~MediaDisk();
  MediaDisk(const MediaDisk&) = delete;
  MediaDisk& operator=(const MediaDisk&) = delete;

  // The name the box stores a file under: no folder separators, no control characters, never "." or "..".
  [[nodiscard]] static std::string StoredName(std::string_view name);

  [[nodiscard]] const std::filesystem::path& Root() const { return m_root; }
  [[nodiscard]] std::filesystem::path PathFor(Mode mode, const MediaHeaderRecord& record) const;
  [[nodiscard]] std::uint64_t UsedBytes() const;
  [[nodiscard]] unsigned PhotoCount() const;

  // The refusal the box answers a record with (RPL_NO_HDD_SPACE, RPL_PHOTO_ERROR), or none.
  [[nodiscard]] std::optional<std::uint8_t> Admit(Mode mode, const MediaHeaderRecord& record) const;

  [[nodiscard]] bool Begin(Mode mode, const MediaHeaderRecord& record);
  [[nodiscard]] bool Append(const std::uint8_t* data, std::size_t size);
  [[nodiscard]] bool Commit();
  void Abort();

 private:
  [[nodiscard]] std::uint64_t FolderBytes(const std::filesystem::path& folder) const;
  [[nodiscard]] std::uint64_t ExistingSize(const std::filesystem::path& file) const;

  std::filesystem::path m_root;
  bool m_ownsRoot = false;
  std::uint64_t m_capacity;
  unsigned m_maxPhotos;
  ReplacingFile m_file;
};

}  // namespace tw
