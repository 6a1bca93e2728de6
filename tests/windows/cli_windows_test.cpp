// tarnwick-cli.exe and tarnwick-boxsim.exe as a Windows user runs them: the embedded box on a loopback
// port, the box program over TCP, refusals and exit statuses.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/temp_dir.h"
#include "windows/windows_process.h"

namespace tw::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class CliOnWindows : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    const auto path = m_dir.Path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  static Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static Bytes Pattern(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
      bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return bytes;
  }

  std::string GzipImage(std::size_t size) {
    Bytes image = Pattern(size);
    image[0] = 0x1F;
    image[1] = 0x8B;
    return Write("image.gz", image);
  }

  // The box program on any free loopback port; its first line names the port.
  std::unique_ptr<WindowsProcess> Box(std::vector<std::string> options) {
    options.insert(options.begin(), {"tarnwick-boxsim", "--unpaced", "--disk", (m_dir.Path() / "disk").string()});
    auto box = std::make_unique<WindowsProcess>(options);
    m_boxPort = box->ReadLine();
    EXPECT_EQ(m_boxPort.rfind("tcp:127.0.0.1:", 0), 0u) << m_boxPort;
    return box;
  }

  static ProgramResult Cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "tarnwick-cli");
    return RunProgram(std::move(arguments));
  }

  TempDir m_dir;
  std::string m_boxPort;
};

TEST_F(CliOnWindows, ProgramDownloadIntoTheEmbeddedBox) {
  const ProgramResult run = Cli({"--port", "sim", "program-download", GzipImage(100000)});
  EXPECT_EQ(run.out, "Download Complete!!!\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("COM 1 -> tcp:127.0.0.1:"), std::string::npos) << run.err;
}

TEST_F(CliOnWindows, SdramDownloadThenUploadThroughTheBoxProgram) {
  const auto box = Box({});
  const Bytes bytes = Pattern(5000);
  const ProgramResult down =
      Cli({"--port", m_boxPort, "download", "--mode", "sdram", "--start", "0x00100000", Write("memory.bin", bytes)});
  EXPECT_EQ(down.out, "Download Complete!!!\n") << down.err;
  const std::string output = (m_dir.Path() / "back.bin").string();
  const ProgramResult up = Cli({"--port", m_boxPort, "upload", "--mode", "sdram", "--start", "0x00100000", "--size",
                                "5000", "--output", output});
  EXPECT_EQ(up.status, 0) << up.out << up.err;
  EXPECT_EQ(Read(output), bytes);
  EXPECT_NE(up.err.find("Uploaded 5000 bytes of SDRAM from 0x00100000 into " + output + "\n"), std::string::npos)
      << up.err;
}

TEST_F(CliOnWindows, RefusalsAndExitStatuses) {
  const ProgramResult invalid = Cli({"--port", "sim", "program-download", Write("bad.gz", Bytes{0x42, 0x43})});
  EXPECT_EQ(invalid.out, "Invalid File\n");
  EXPECT_EQ(invalid.status, 1);

  const std::string unwritable = (m_dir.Path() / "no-such-folder" / "out.bin").string();
  const ProgramResult output =
      Cli({"--port", "sim", "upload", "--mode", "sdram", "--size", "16", "--output", unwritable});
  EXPECT_EQ(output.out, "Can't open " + unwritable + " !!!\n");
  EXPECT_EQ(output.status, 1);

  const ProgramResult refused = Cli({"--port", "tcp:127.0.0.1:1", "program-download", GzipImage(100)});
  EXPECT_EQ(refused.out, "Can't Open Comm Port 1 !\n");
  EXPECT_EQ(refused.status, 1);

  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli({"--port", "sim", "pgm", "x"}).status, 2);

  const auto silent = Box({"--silent"});
  const ProgramResult quiet = Cli({"--port", m_boxPort, "--timeout", "1", "program-download", GzipImage(2000)});
  EXPECT_EQ(quiet.status, 3) << quiet.err;
  EXPECT_TRUE(quiet.out.empty()) << quiet.out;
}

}  // namespace
}  // namespace tw::test
