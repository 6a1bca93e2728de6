#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace tw {

// The file of an upload: written to a temporary file beside the target and renamed over it only when
// complete, so an upload that stops early never destroys an existing file. A link is written through to
// the file it names, and an existing file keeps its permissions.
class UploadFile {
 public:
  UploadFile() = default;
  ~UploadFile();
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;

  // Discards an unfinished earlier upload first. False, with nothing created, when the target is a
  // folder or another non-file, an existing file that may not be written, or in a folder that cannot
  // take the temporary file.
  bool Create(const std::string& target);
  bool Write(const std::uint8_t* data, std::size_t count);
  bool Commit();
  void Discard();

  [[nodiscard]] bool IsOpen() const { return m_file.is_open(); }

 private:
  std::ofstream m_file;
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
  std::optional<std::filesystem::perms> m_keptPermissions;
};

}  // namespace tw
