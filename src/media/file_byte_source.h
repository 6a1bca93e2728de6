#pragma once
// A file on disk read through ByteSource.

#include <cstdint>
#include <fstream>
#include <string>

#include "media/byte_source.h"

namespace tw {

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path);

  // False when the path is missing, unreadable or not a regular file.
  [[nodiscard]] bool IsOpen() const { return m_open; }
  [[nodiscard]] std::uint64_t Size() const override { return m_size; }
  [[nodiscard]] std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  std::ifstream m_file;
  std::uint64_t m_size = 0;
  bool m_open = false;
};

}  // namespace tw
