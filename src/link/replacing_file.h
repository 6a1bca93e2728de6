#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

namespace tw {

// A file replaced whole or not at all: written to a temporary file beside the target and renamed over
// it only when complete, so a write that stops early never destroys an existing file. A link is written
// through to the file it names, and an existing file keeps its permissions.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Discards an unfinished earlier file first. False, with nothing created, when the target is a
  // folder or another non-file, an existing file that may not be written, or in a folder that cannot
  // take the temporary file.
  bool Create(const std::filesystem::path& target);
  bool Write(const std::uint8_t* data, std::size_t count);
  bool Commit();
  void Discard();

  [[nodiscard]] bool IsOpen() const { return m_file.is_open(); }
  // Whether a file is one of these temporary files, left behind by a program that did not end well.
  [[nodiscard]] static bool IsTemporary(const std::filesystem::path& file);

 private:
  std::ofstream m_file;
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
  std::optional<std::filesystem::perms> m_keptPermissions;
};

}  // namespace tw
