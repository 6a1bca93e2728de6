#include "cli/file_digest.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "link/loader_crc.h"

namespace tw {

namespace {

constexpr std::size_t kReadSize = 64 << 10;

}  // namespace

std::optional<FileDigest> DigestFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> buffer(kReadSize);
  FileDigest digest;
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    digest.crc = LoaderCrc(buffer.data(), got, digest.crc);
    digest.size += got;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    return std::nullopt;
  }
  return digest;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  // A folder opens but throws on the first read.
  try {
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

}  // namespace tw
