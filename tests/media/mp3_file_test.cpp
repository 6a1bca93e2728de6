// CMp3Info on files: the extension check, open failures, and real encoder output when lame is installed.
#include <gtest/gtest.h>

#include <cmath>

#include "media/media_test_support.h"
#include "media/mp3_info.h"

namespace tw {
namespace {

using test::Bytes;

// Other names are not inspected and give no error; an MP3 name that cannot be opened is reported.
TEST(Mp3File, OnlyMp3ExtensionsInAnyCaseAreInspected) {
  test::TempDir folder;
  const auto inspect = [&](const char* name) {
    Bytes file(3000, 0x55);
    test::PutAt(file, 0, test::FrameHeader(0xFB, 0x90, 0x00));
    test::PutAt(file, 3000 - 128, test::Id3v1Tag({.title = "T"}));
    test::WriteBytes(folder.Path() / name, file);
    return CMp3Info((folder.Path() / name).string());
  };
  for (const char* name : {"a.mp3", "b.MP3", "c.Mp3", "d.mP3"}) {
    EXPECT_EQ(inspect(name).TagKind(), Mp3TagKind::Id3v1) << name;
  }
  for (const char* name : {"e.mp4", "f.wav", "g.mp3 ", "h.mp3.txt"}) {
    const auto info = inspect(name);
    EXPECT_EQ(info.TagKind(), Mp3TagKind::None) << name;
    EXPECT_EQ(info.Error(), "") << name;
  }
  const auto missing = (folder.Path() / "gone.mp3").string();
  EXPECT_EQ(CMp3Info(missing).Error(), "Can't open " + missing + " !!!");
  EXPECT_EQ(CMp3Info((folder.Path() / "gone.txt").string()).Error(), "");
}

// Five seconds of a 440 Hz tone, raw 16-bit little-endian stereo at 44.1 kHz.
Bytes ToneRaw() {
  Bytes raw;
  for (int i = 0; i < 44100 * 5; ++i) {
    const auto sample = static_cast<std::uint16_t>(std::int16_t(8000 * std::sin(2 * 3.14159265 * 440 * i / 44100)));
    for (int byte = 0; byte < 4; ++byte) {
      raw.push_back(static_cast<std::uint8_t>(sample >> (8 * (byte % 2))));
    }
  }
  return raw;
}

class LameMp3 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("lame")) {
      GTEST_SKIP() << "lame is not installed";
    }
    test::WriteBytes(m_folder.Path() / "tone.raw", ToneRaw());
  }

  std::string Encode(const std::string& name, std::vector<std::string> options) {
    auto out = (m_folder.Path() / name).string();
    std::vector<std::string> argv{"lame",     "--quiet",        "-r", "-s", "44.1", "--bitwidth", "16",
                                  "--signed", "--little-endian"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back((m_folder.Path() / "tone.raw").string());
    argv.push_back(out);
    const auto result = test::RunCommand(argv);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return out;
  }

  test::TempDir m_folder;
};

// lame marks constant bitrate with "Info", which is no Xing block.
TEST_F(LameMp3, ConstantBitrateWithId3v1TagVariableBitrateBehindId3v2AndMono) {
  const CMp3Info cbr(Encode("cbr.mp3", {"-b", "128", "--id3v1-only", "--tt", "  Tone ", "--ta", "Lab", "--tl", "Tests",
                                        "--ty", "2024", "--tc", "note", "--tn", "3", "--tg", "Other"}));
  EXPECT_EQ(cbr.TagKind(), Mp3TagKind::Id3v1);
  EXPECT_EQ((std::vector<std::string>{cbr.Title(), cbr.Artist(), cbr.Album(), cbr.Year(), cbr.Comment()}),
            (std::vector<std::string>{"Tone", "Lab", "Tests", "2024", "note"}));
  EXPECT_EQ(cbr.Track(), 3);
  EXPECT_EQ(cbr.Genre(), "Other");
  EXPECT_EQ(cbr.Bitrate(), 128000u);
  EXPECT_FALSE(cbr.IsVbr());
  EXPECT_EQ(cbr.Duration(), 5u);

  const CMp3Info vbr(Encode("vbr.mp3", {"-V", "4", "--id3v2-only", "--tt", "Tone"}));
  EXPECT_EQ(vbr.TagKind(), Mp3TagKind::Id3v2);
  EXPECT_NE(vbr.VbrScale(), kNoVbrScale);
  EXPECT_EQ(vbr.Duration(), 5u);

  const CMp3Info mono(Encode("mono.mp3", {"-a", "-V", "6"}));  // its Xing block sits nearer the header
  EXPECT_EQ(mono.ChannelMode(), 3);
  for (const CMp3Info* info : {&vbr, &mono}) {
    EXPECT_TRUE(info->IsVbr());
    EXPECT_NEAR(info->Frames(), 5.0 * 44100 / 1152, 3);
  }
}

}  // namespace
}  // namespace tw
