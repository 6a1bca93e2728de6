#include "media/media_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tw::test {

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

void WriteText(const std::filesystem::path& path, std::string_view text) {
  WriteBytes(path, Bytes(text.begin(), text.end()));
}

void WriteScript(const std::filesystem::path& path, std::string_view body) {
  WriteText(path, "#!/bin/sh\n" + std::string(body));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                         std::filesystem::perms::group_exec);
}

Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::filesystem::path& path) {
  const auto bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

Bytes FrameHeader(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) { return {0xFF, b1, b2, b3}; }

Bytes Id3v1Tag(const Id3v1Fields& fields) {
  Bytes tag(128, 0);
  const auto put = [&](std::size_t offset, std::size_t width, const std::string& text) {
    std::copy_n(text.begin(), std::min(width, text.size()), tag.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  put(0, 3, "TAG");
  put(3, 30, fields.title);
  put(33, 30, fields.artist);
  put(63, 30, fields.album);
  put(93, 4, fields.year);
  put(97, 30, fields.comment);
  tag[127] = fields.genre;
  return tag;
}

void PutAt(Bytes& bytes, std::size_t offset, const Bytes& part) {
  if (bytes.size() < offset + part.size()) {
    bytes.resize(offset + part.size(), 0);
  }
  std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace tw::test
