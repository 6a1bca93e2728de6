#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct FileDigest {
  std::uint64_t size = 0;
  std::uint32_t crc = 0;  // the loader CRC
};

// Nothing when the file cannot be read.
[[nodiscard]] std::optional<FileDigest> DigestFile(const std::string& path);
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

}  // namespace tw
