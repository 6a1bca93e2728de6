#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace tw {

// The source file of a download, read block by block from its current position.
class ImageFile {
 public:
  // Closes a file left open by an earlier operation first. Only a regular file opens.
  bool Open(const std::string& path);
  std::size_t Read(std::uint8_t* out, std::size_t count);
  bool Seek(std::uint64_t offset);
  void Close();

  [[nodiscard]] bool IsOpen() const { return m_file.is_open(); }
  [[nodiscard]] std::uint64_t Length() const { return m_length; }
  [[nodiscard]] std::uint64_t Position();
  [[nodiscard]] const std::string& Path() const { return m_path; }

 private:
  std::ifstream m_file;
  std::uint64_t m_length = 0;
  std::string m_path;
};

}  // namespace tw
