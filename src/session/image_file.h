#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tw {

// The source file of a download, read block by block from its current position.
class ImageFile {
 public:
  ImageFile() = default;
  ~ImageFile();
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  // Closes a file left open by an earlier operation first.
  bool Open(const std::string& path);
  std::size_t Read(std::uint8_t* out, std::size_t count);
  bool Seek(std::uint64_t offset);
  void Close();

  [[nodiscard]] bool IsOpen() const { return m_file != nullptr; }
  [[nodiscard]] std::uint64_t Length() const { return m_length; }
  [[nodiscard]] std::uint64_t Position() const;
  [[nodiscard]] const std::string& Path() const { return m_path; }

 private:
  std::FILE* m_file = nullptr;
  std::uint64_t m_length = 0;
  std::string m_path;
};

}  // namespace tw
