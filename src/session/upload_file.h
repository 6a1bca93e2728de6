#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace tw {

// The database file of an upload: written to a temporary file beside the target and renamed over it
// only when complete, so an upload that stops early never destroys an existing file.
class UploadFile {
 public:
  UploadFile() = default;
  ~UploadFile();
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;

  // Discards an unfinished earlier upload first.
  bool Create(const std::string& target);
  bool Write(const std::uint8_t* data, std::size_t count);
  bool Commit();
  void Discard();

  [[nodiscard]] bool IsOpen() const { return m_file.is_open(); }

 private:
  std::ofstream m_file;
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
};

}  // namespace tw
