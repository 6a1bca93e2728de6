#include <gtest/gtest.h>

#include <array>
#include <future>

#include "cli_fixture.h"
#include "media/photo_converter.h"

namespace tw::test {
namespace {

// A 24-bit BMP picture, something the converter decodes.
Bytes Bmp(std::uint32_t width, std::uint32_t height) {
  const std::uint32_t row = (width * 3 + 3) & ~3u;
  Bytes out{'B', 'M'};
  for (const auto& [value, size] : {std::pair{54 + row * height, 4u},
                                    {0u, 4u},
                                    {54u, 4u},
                                    {40u, 4u},
                                    {width, 4u},
                                    {height, 4u},
                                    {1u, 2u},
                                    {24u, 2u},
                                    {0u, 24u}}) {
    for (unsigned i = 0; i < size; ++i) {
      out.push_back(i < 4 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0);
    }
  }
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < row; ++x) {
      out.push_back(static_cast<std::uint8_t>(x < width * 3 ? (x * 5 + y * 3) : 0));
    }
  }
  return out;
}

using MediaCli = CliTest;

TEST_F(MediaCli, BatchStoresEveryFileAndReportsOnceThenTheBackgroundPicture) {
  const auto box = Box({});
  const Bytes first = Mp3(40, 1);
  const Bytes second = Mp3(30, 2);
  // The PC's own pauses between files do not count as the box's silence.
  const RunResult run = Cli({"--timeout", "1", "--port", box->FirstLine(), "send-media", Write("a.mp3", first),
                             Write("B.MP3", second), Write("c.bmp", Bmp(64, 48))});
  EXPECT_EQ(run.out, "Write Complete!!!\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read(m_dir / "disk" / "mp3" / "a.mp3"), first);
  EXPECT_EQ(Read(m_dir / "disk" / "mp3" / "B.MP3"), second);
  // The photo travels as the converter made it: a 12288-byte thumbnail, then the still picture.
  EXPECT_GT(Read(m_dir / "disk" / "photo" / "c.bmp").size(), 12288u);

  const RunResult background = Cli({"--port", box->FirstLine(), "background", Write("back.bmp", Bmp(100, 80))});
  EXPECT_EQ(background.out, "Download Complete!!!\n");
  EXPECT_EQ(background.status, 0) << background.err;
  EXPECT_FALSE(Read(m_dir / "disk" / "background.slot").empty());
}

TEST_F(MediaCli, AFullDiskOrAnUnreadablePhotoEndsTheBatchWithItsMessage) {
  const auto box = Box({"--disk-full"});
  const RunResult full = Cli({"--port", box->FirstLine(), "send-media", Write("a.mp3", Mp3(10, 1))});
  EXPECT_EQ(full.out, "Not Enough HDD for MP3\n");
  EXPECT_EQ(full.status, 1);

  const RunResult broken = Cli({"--port", "sim", "send-media", Write("broken.jpg", Bytes{'n', 'o', 't'})});
  EXPECT_NE(broken.out.find("Making Photo Image Error\n"), std::string::npos) << broken.out;
  EXPECT_EQ(broken.status, 1);
}

TEST_F(MediaCli, TwoBatchesAtOnceEachSendTheirOwnPhoto) {
  const fs::path temp = m_dir / "tmp";
  fs::create_directory(temp);
  const std::array photos{Write("one.bmp", Bmp(64, 48)), Write("two.bmp", Bmp(40, 90))};
  std::array<Bytes, 2> expected;
  PhotoConverter converter({.startDirectory = m_dir, .programDirectory = fs::path(TARNWICK_BIN_DIR)}, {});
  for (std::size_t i = 0; i < photos.size(); ++i) {
    expected[i] = converter.ConvertPhoto(photos[i], Mode::Photo).value_or(Bytes{});
  }
  ASSERT_NE(expected[0], expected[1]);

  // Rounds, so that the two conversions overlap in some of them.
  for (int round = 0; round < 3; ++round) {
    std::array<std::unique_ptr<BackgroundProcess>, 2> boxes;
    std::array<std::future<RunResult>, 2> runs;
    for (std::size_t i = 0; i < photos.size(); ++i) {
      boxes[i] = Box({}, "disk" + std::to_string(i));
      runs[i] = std::async(std::launch::async, test::Run,
                           std::vector<std::string>{"/usr/bin/env", "TMPDIR=" + temp.string(), BinPath("tarnwick-cli"),
                                                    "--port", boxes[i]->FirstLine(), "send-media", photos[i]});
    }
    for (std::size_t i = 0; i < photos.size(); ++i) {
      const RunResult run = runs[i].get();
      EXPECT_EQ(run.status, 0) << run.out << run.err;
      const fs::path stored = m_dir / ("disk" + std::to_string(i)) / "photo" / fs::path(photos[i]).filename();
      EXPECT_EQ(Read(stored), expected[i]) << "round " << round << ", box " << i;
    }
  }
  EXPECT_TRUE(fs::is_empty(temp)) << "every conversion's folder is removed";
}

}  // namespace
}  // namespace tw::test
