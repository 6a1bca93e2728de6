#pragma once
// Helpers for the media tests: files, external tools and the synthetic MP3 bytes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace tw::test {

using Bytes = std::vector<std::uint8_t>;

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
void WriteText(const std::filesystem::path& path, std::string_view text);
void WriteScript(const std::filesystem::path& path, std::string_view body);
[[nodiscard]] Bytes ReadBytes(const std::filesystem::path& path);
[[nodiscard]] std::string ReadText(const std::filesystem::path& path);

struct CommandResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};
// Runs argv[0] looked up in PATH, each argument quoted for the shell.
[[nodiscard]] CommandResult RunCommand(const std::vector<std::string>& argv);
[[nodiscard]] bool HaveTool(std::string_view name);

[[nodiscard]] Bytes FrameHeader(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
// A 128-byte ID3v1 tag: "TAG" and the fields as given (each cut to its width), genre code last.
struct Id3v1Fields {
  std::string title{};
  std::string artist{};
  std::string album{};
  std::string year{};
  std::string comment{};
  std::uint8_t genre = 0;
};
[[nodiscard]] Bytes Id3v1Tag(const Id3v1Fields& fields);
void PutAt(Bytes& bytes, std::size_t offset, const Bytes& part);

}  // namespace tw::test
