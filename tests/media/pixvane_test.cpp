// The real converter PIXVANE.EXE from this build, on pictures made at test time with the ffmpeg tool.
#include <gtest/gtest.h>

#include "media/media_test_support.h"
#include "media/photo_converter.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

const fs::path kBinDir = TARNWICK_BIN_DIR;
constexpr std::size_t kRowBytes = 64 * 3;

std::string Program() { return (kBinDir / "PIXVANE.EXE").string(); }

class Pixvane : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kBinDir / "PIXVANE.EXE") || !test::HaveTool("ffmpeg") || !test::HaveTool("ffprobe")) {
      GTEST_SKIP() << "needs PIXVANE.EXE built and ffmpeg/ffprobe installed";
    }
  }

  fs::path MakePicture(const std::string& name, const std::string& size) {
    auto path = m_pictures / name;
    const auto made = test::RunCommand({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                        "testsrc=size=" + size, "-frames:v", "1", path.string()});
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
  }

  // The streams as ffprobe reads them: codec, width, height and frames, a line each.
  static std::string Probe(const fs::path& still) {
    return test::RunCommand({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                             "stream=codec_name,width,height,nb_read_frames", "-of",
                             "default=noprint_wrappers=1:nokey=1", still.string()})
        .output;
  }

  static bool EndsWithSequenceEnd(const Bytes& still) {
    const Bytes end{0x00, 0x00, 0x01, 0xB7};
    return still.size() > 4 && std::equal(end.begin(), end.end(), still.end() - 4);
  }

  PhotoConverter Converter() {
    return PhotoConverter({.startDirectory = m_folder.Path(), .programDirectory = kBinDir, .tempFolder = m_temp},
                          [this](const std::string& text) { m_messages.push_back(text); });
  }

  test::TempDir m_folder;
  fs::path m_pictures = m_folder.Make("my pictures; \"quoted\"");
  fs::path m_temp = m_folder.Make("temp folder");
  std::vector<std::string> m_messages;
};

TEST_F(Pixvane, PhotoBecomesBareThumbnailPixelsAndOneMpeg2PictureInAnyFormat) {
  const auto jpeg = MakePicture("holiday photo.jpg", "640x480");
  const auto run = test::RunCommand({Program(), jpeg.string(), (m_temp / "output.mpg").string(), "0", m_temp.string()});
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // 64x64 RGB pixels exactly: a 4:3 picture has a uniform bar above it and detail in the middle.
  const auto thumbnail = test::ReadBytes(m_temp / "input2.ppm");
  ASSERT_EQ(thumbnail.size(), kThumbnailReserve);
  const auto uniformRow = [&](std::size_t row) {
    const auto begin = thumbnail.begin() + static_cast<std::ptrdiff_t>(row * kRowBytes);
    return std::all_of(begin, begin + kRowBytes, [&](std::uint8_t b) { return b == *begin; });
  };
  EXPECT_TRUE(uniformRow(0));
  EXPECT_FALSE(uniformRow(32));

  const auto still = test::ReadBytes(m_temp / "output.mpg");
  EXPECT_TRUE(EndsWithSequenceEnd(still));
  EXPECT_EQ(Probe(m_temp / "output.mpg"), "mpeg2video\n720\n576\n1\n");

  for (const auto& [name, size] : {std::pair{"tall.png", "200x400"}, std::pair{"wide.bmp", "300x50"},
                                   std::pair{"anim.gif", "160x90"}, std::pair{"tiny.jpg", "16x16"}}) {
    const auto background = Converter().ConvertPhoto(MakePicture(name, size).string(), Mode::Background);
    ASSERT_TRUE(background) << name;
    test::WriteBytes(m_temp / "check.mpg", *background);
    EXPECT_EQ(Probe(m_temp / "check.mpg"), "mpeg2video\n720\n576\n1\n") << name;
    EXPECT_TRUE(EndsWithSequenceEnd(*background)) << name;
  }
}

TEST_F(Pixvane, UnreadableInputIsNamedAndUsageAndHelpAnswer) {
  test::WriteText(m_pictures / "fake.jpg", "this is no picture");
  for (const auto& input : {m_pictures / "fake.jpg", m_pictures / "missing.jpg"}) {
    const auto run = test::RunCommand({Program(), input.string(), (m_temp / "out.mpg").string(), "0", m_temp.string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find(input.string()), std::string::npos) << run.output;
  }
  EXPECT_NE(test::RunCommand({Program(), "only one"}).exitCode, 0);
  const auto help = test::RunCommand({Program(), "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.output.rfind("PIXVANE.EXE <photo>", 0), 0u) << help.output;
}

}  // namespace
}  // namespace tw
