#include "cli_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tw::test {

Bytes Mp3(std::size_t frames, unsigned seed) {
  constexpr std::size_t kFrameSize = 417;
  Bytes bytes = Pattern(frames * kFrameSize, seed);
  for (std::size_t i = 0; i < frames; ++i) {
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x64}.begin(), 4, bytes.begin() + static_cast<std::ptrdiff_t>(i * kFrameSize));
  }
  Bytes tag(128, 0);
  std::copy_n("TAGTone", 7, tag.begin());
  bytes.insert(bytes.end(), tag.begin(), tag.end());
  return bytes;
}

std::string Screen(const std::string& shown) {
  std::vector<std::string> lines(1);
  std::size_t row = 0;
  std::size_t column = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    std::string& line = lines[row];
    if (shown.compare(i, 3, "\033[K") == 0) {
      line.resize(std::min(line.size(), column));
      i += 2;
    } else if (shown.compare(i, 3, "\033[A") == 0) {
      row = row > 0 ? row - 1 : 0;
      i += 2;
    } else if (shown[i] == '\r') {
      column = 0;
    } else if (shown[i] == '\n') {
      if (++row == lines.size()) {
        lines.emplace_back();
      }
      column = 0;
    } else {
      line.resize(std::max(line.size(), column + 1));
      line[column++] = shown[i];
    }
  }
  std::string screen;
  for (const std::string& line : lines) {
    screen += line + "\n";
  }
  return screen;
}

CliTest::CliTest() {
  std::string pattern = (fs::temp_directory_path() / "tw-e2e-XXXXXX").string();
  m_dir = mkdtemp(pattern.data());
}

CliTest::~CliTest() { fs::remove_all(m_dir); }

std::string CliTest::Write(const std::string& name, const Bytes& bytes) {
  const fs::path path = m_dir / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

Bytes CliTest::Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

RunResult CliTest::Cli(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), BinPath("tarnwick-cli"));
  return test::Run(arguments);
}

std::unique_ptr<BackgroundProcess> CliTest::Box(std::vector<std::string> options, const std::string& disk) {
  options.insert(options.begin(), {BinPath("tarnwick-boxsim"), "--unpaced", "--disk", (m_dir / disk).string()});
  auto box = std::make_unique<BackgroundProcess>(options);
  EXPECT_FALSE(box->FirstLine().empty());
  return box;
}

std::string CliTest::GzipFile(std::size_t size) { return Write("image.gz", GzipImage(size, 5)); }

}  // namespace tw::test
