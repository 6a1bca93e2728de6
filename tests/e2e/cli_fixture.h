#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/test_bytes.h"

namespace tw::test {

namespace fs = std::filesystem;

// What stays on a terminal's screen: a carriage return goes back to the line's start, ESC [K clears the
// rest of the line and ESC [A goes a line up.
[[nodiscard]] std::string Screen(const std::string& shown);

// MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) behind an ID3v1 tag titled "Tone".
[[nodiscard]] Bytes Mp3(std::size_t frames, unsigned seed);

// tarnwick-cli runs in a temporary folder, against the embedded box or a tarnwick-boxsim process.
class CliTest : public ::testing::Test {
 protected:
  CliTest();
  ~CliTest() override;

  std::string Write(const std::string& name, const Bytes& bytes);
  [[nodiscard]] static Bytes Read(const fs::path& path);
  [[nodiscard]] static RunResult Cli(std::vector<std::string> arguments);
  // A simulated box in a process of its own (unpaced, its disk in the temporary folder).
  [[nodiscard]] std::unique_ptr<BackgroundProcess> Box(std::vector<std::string> options,
                                                       const std::string& disk = "disk");
  // A gzip program image written to the temporary folder: its path.
  std::string GzipFile(std::size_t size);

  fs::path m_dir;
};

}  // namespace tw::test
