#include "media/mp3_info.h"

#include <gtest/gtest.h>

#include "media/media_test_support.h"
#include "media/memory_byte_source.h"

namespace tw {
namespace {

using test::Bytes;
using test::FrameHeader;
using test::PutAt;

constexpr std::size_t kScan = 2048;
// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz; the last byte picks the channel mode.
const Bytes kMpeg1L3At128 = FrameHeader(0xFB, 0x90, 0x00);

// Audio bytes with no 0xFF of their own, so only the headers placed in them are found.
Bytes Filler(std::size_t size) { return Bytes(size, 0x55); }

CMp3Info Inspect(const Bytes& bytes) {
  MemoryByteSource source(bytes);
  return CMp3Info(source);
}

CMp3Info InspectAs(const Bytes& head, std::uint64_t fileSize) {
  MemoryByteSource source(head, fileSize);
  return CMp3Info(source);
}

TEST(Mp3Info, Id3v2TagIsSkippedAndItsFileEndIgnored) {
  Bytes file = Filler(267 + kScan + 500);
  PutAt(file, 0, {'I', 'D', '3', 3, 0, 0, 0x00, 0x00, 0x02, 0x01});
  PutAt(file, 20, FrameHeader(0xFB, 0x10, 0x00));  // a decoy inside the tag at 32 kbit/s
  PutAt(file, 267, kMpeg1L3At128);
  PutAt(file, file.size() - 128, test::Id3v1Tag({.title = "Ignored", .genre = 12}));

  const auto info = Inspect(file);
  EXPECT_EQ(info.TagKind(), Mp3TagKind::Id3v2);
  EXPECT_EQ(info.TagSize(), 267u);
  EXPECT_EQ(info.Bitrate(), 128000u);
  EXPECT_EQ(info.Id3v1(), Id3v1Block{});
  EXPECT_FALSE(info.Genre().has_value());
  EXPECT_EQ(info.Title(), "");
}

TEST(Mp3Info, Id3v1FieldsAreTrimmedInPlace) {
  Bytes file = Filler(kScan + 128);
  PutAt(file, 0, kMpeg1L3At128);
  test::Id3v1Fields fields{.title = "  Song  ",
                           .artist = "\t\r\nBand\v\f",
                           .album = std::string(30, ' '),
                           .year = "1999",
                           .comment = " x ",
                           .genre = 17};
  PutAt(file, kScan, test::Id3v1Tag(fields));

  const auto info = Inspect(file);
  ASSERT_EQ(info.TagKind(), Mp3TagKind::Id3v1);
  EXPECT_EQ(info.TagSize(), 128u);
  EXPECT_EQ(info.Title(), "Song");
  EXPECT_EQ(info.Artist(), "Band");
  EXPECT_EQ(info.Album(), "");
  EXPECT_EQ(info.Year(), "1999");
  EXPECT_EQ(info.Comment(), "x");
  EXPECT_EQ(info.Genre(), "Rock");

  const auto& block = info.Id3v1();
  // "  Song  " -> "Song" and three written zeros; the byte behind them keeps its old space.
  const Bytes title(block.begin() + 3, block.begin() + 11);
  EXPECT_EQ(title, (Bytes{'S', 'o', 'n', 'g', 0, 0, 0, ' '}));
  // Thirty spaces: only the first byte becomes zero.
  EXPECT_EQ(block[63], 0);
  EXPECT_EQ(block[64], ' ');
  EXPECT_EQ(block[92], ' ');
}

TEST(Mp3Info, HighBytesAreNotWhiteSpace) {
  Bytes file = Filler(kScan + 128);
  PutAt(file, kScan, test::Id3v1Tag({.title = "\xA0T\xA0"}));
  EXPECT_EQ(Inspect(file).Title(), "\xA0T\xA0");
}

TEST(Mp3Info, TrackNeedsZeroBeforeIt) {
  Bytes file = Filler(kScan + 128);
  Bytes tag = test::Id3v1Tag({.comment = std::string(28, 'c')});
  tag[126] = 7;
  PutAt(file, kScan, tag);
  EXPECT_EQ(Inspect(file).Track(), 7);

  tag[125] = 'z';
  PutAt(file, kScan, tag);
  const auto info = Inspect(file);
  EXPECT_EQ(info.Track(), 0);
  EXPECT_EQ(info.Comment().size(), 30u);  // an ID3v1.0 comment runs through the track bytes
}

TEST(Mp3Info, GenreCodeNamesTableEntry) {
  for (const auto& [code, name] : {std::pair{0, "Blues"}, std::pair{12, "Other"}, std::pair{144, "Thrash Metal"},
                                   std::pair{145, "unknown"}, std::pair{255, "unknown"}}) {
    Bytes file = Filler(200);
    PutAt(file, 72, test::Id3v1Tag({.genre = static_cast<std::uint8_t>(code)}));
    EXPECT_EQ(Inspect(file).Genre(), name) << code;
  }
}

TEST(Mp3Info, ConstantBitrateFrameCountAndDuration) {
  Bytes head = Filler(kScan);
  PutAt(head, 0, kMpeg1L3At128);
  const auto info = InspectAs(head, 4'000'000);
  EXPECT_EQ(info.Version(), 1);
  EXPECT_EQ(info.Layer(), 3);
  EXPECT_EQ(info.SampleRate(), 44100u);
  EXPECT_EQ(info.ChannelMode(), 0);
  EXPECT_EQ(info.Frames(), 9570u);
  EXPECT_EQ(info.Duration(), 250u);
  EXPECT_FALSE(info.IsVbr());
  EXPECT_EQ(info.VbrScale(), kNoVbrScale);
  EXPECT_EQ(info.TagKind(), Mp3TagKind::None);
}

TEST(Mp3Info, HeaderFoundBehindLeadingJunk) {
  Bytes head = Filler(kScan);
  PutAt(head, 0, {'R', 'I', 'F', 'X'});
  PutAt(head, 5, FrameHeader(0xFB, 0x90, 0x40));
  const auto info = InspectAs(head, 1'600'000);
  EXPECT_EQ(info.Bitrate(), 128000u);
  EXPECT_EQ(info.ChannelMode(), 1);
  EXPECT_EQ(CMp3Info::ChannelModeName(info.ChannelMode()), "Joint-Stereo");
  EXPECT_EQ(info.Duration(), 100u);
}

TEST(Mp3Info, XingHeaderGivesFramesScaleAndARoundedAverageBitrate) {
  const struct {
    Bytes header;
    std::size_t xingAt;
    Bytes xing;
    std::uint64_t fileSize;
    std::uint32_t scale;
    std::uint32_t bitrate;
    std::uint32_t duration;
  } cases[] = {
      // 418 * 44100 / 144 = 128012
      {kMpeg1L3At128, 36, test::XingBlock(0x0F, 10'000, 4'180'000, 57), 4'180'000, 57, 128'000, 261},
      // mono, Xing at 21, no byte count: the file size stands in; 209 * 44100 / 144 = 64006
      {FrameHeader(0xFB, 0x90, 0xC0), 21, test::XingBlock(0x01, 10'000, 0, 0), 2'090'000, kNoVbrScale, 64'000, 261},
      // no frame count: no bitrate
      {kMpeg1L3At128, 36, test::XingBlock(0x08, 0, 0, 80), 1'000'000, 80, 0, 0},
  };
  for (const auto& c : cases) {
    Bytes head = Filler(kScan);
    PutAt(head, 0, c.header);
    PutAt(head, c.xingAt, c.xing);
    const auto info = InspectAs(head, c.fileSize);
    EXPECT_TRUE(info.IsVbr());
    EXPECT_EQ(info.VbrScale(), c.scale);
    EXPECT_EQ(info.Bitrate(), c.bitrate);
    EXPECT_EQ(info.Duration(), c.duration);
  }
}

TEST(Mp3Info, Mpeg2AndMpeg25LayerIIIUseTheirOwnRows) {
  Bytes head = Filler(kScan);
  PutAt(head, 0, FrameHeader(0xF3, 0x90, 0x00));  // MPEG-2, index 9
  auto info = InspectAs(head, 1'600'000);
  EXPECT_EQ(info.Version(), 2);
  EXPECT_EQ(info.Bitrate(), 128'000u);
  EXPECT_EQ(info.SampleRate(), 22050u);

  PutAt(head, 0, FrameHeader(0xE3, 0x30, 0x00));  // MPEG-2.5, index 3
  info = InspectAs(head, 300'000);
  EXPECT_EQ(info.Version(), 4);
  EXPECT_EQ(info.Bitrate(), 24'000u);
  EXPECT_EQ(info.SampleRate(), 11025u);
  EXPECT_EQ(info.Duration(), 100u);

  PutAt(head, 0, FrameHeader(0xF3, 0x90, 0x00));  // MPEG-2 with Xing at 21: rate halved, bitrate averaged
  PutAt(head, 21, test::XingBlock(0x03, 1000, 200'000, 0));
  info = InspectAs(head, 200'000);
  EXPECT_EQ(info.SampleRate(), 22050u);
  EXPECT_EQ(info.Bitrate(), 30'000u);  // 200 * 22050 / 144 = 30625
}

TEST(Mp3Info, RiffDataChunkLeadsToHeader) {
  Bytes head = Filler(kScan);
  PutAt(head, 0, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
  PutAt(head, 12, FrameHeader(0xFB, 0x10, 0x00));  // a 0xFF before "data" is not taken
  PutAt(head, 60, {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF});
  PutAt(head, 68, kMpeg1L3At128);
  EXPECT_EQ(InspectAs(head, 1'600'000).Bitrate(), 128'000u);
}

TEST(Mp3Info, NothingReadBeyondTheScannedBytes) {
  Bytes riffWithoutData = Filler(kScan);
  PutAt(riffWithoutData, 0, {'R', 'I', 'F', 'F'});
  PutAt(riffWithoutData, 100, kMpeg1L3At128);

  Bytes dataAtTheEnd = riffWithoutData;
  PutAt(dataAtTheEnd, 2039, {'d', 'a', 't', 'a', 0, 0, 0, 0, 0xFF});

  Bytes headerAtTheEnd = Filler(kScan);
  PutAt(headerAtTheEnd, 2020, kMpeg1L3At128);

  Bytes xingRunsOff = Filler(kScan);
  PutAt(xingRunsOff, 1950, kMpeg1L3At128);
  PutAt(xingRunsOff, 1986, test::XingBlock(0x0F, 1, 1, 1));
  xingRunsOff.resize(kScan);

  for (const auto* head : {&riffWithoutData, &dataAtTheEnd, &headerAtTheEnd, &xingRunsOff}) {
    const auto info = InspectAs(*head, 1'000'000);
    EXPECT_EQ(info.Version(), 0);
    EXPECT_EQ(info.Bitrate(), 0u);
    EXPECT_EQ(info.Duration(), 0u);
  }
}

TEST(Mp3Info, ShortFilesKeepTagsButHaveNoDuration) {
  Bytes file = Filler(1000);
  PutAt(file, 0, kMpeg1L3At128);
  PutAt(file, 1000 - 128, test::Id3v1Tag({.title = "Short"}));
  const auto info = Inspect(file);
  EXPECT_EQ(info.Title(), "Short");
  EXPECT_EQ(info.Duration(), 0u);
  EXPECT_EQ(info.Version(), 0);
  EXPECT_EQ(info.FileSize(), 1000u);

  for (const auto size : {0u, 3u, 10u, 127u}) {
    const auto tiny = Inspect(Bytes(size, 0xFF));
    EXPECT_EQ(tiny.TagKind(), Mp3TagKind::None);
    EXPECT_EQ(tiny.Duration(), 0u);
  }

  Bytes id3v2Only(kScan, 0xFF);
  PutAt(id3v2Only, 0, {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0x10});  // 16 + 10 bytes of tag: too little behind it
  EXPECT_EQ(Inspect(id3v2Only).Duration(), 0u);
}

TEST(Mp3Info, HugeFilesGetTheirTrueDuration) {
  Bytes head = Filler(kScan);
  PutAt(head, 0, kMpeg1L3At128);
  EXPECT_EQ(InspectAs(head, 300ull << 20).Duration(), 19'660u);  // 314572800 * 8 / 128000
  const auto fiveGiB = InspectAs(head, 5ull << 30);
  EXPECT_EQ(fiveGiB.Duration(), 335'544u);
  EXPECT_EQ(fiveGiB.Frames(), 12'845'056u);
}

}  // namespace
}  // namespace tw
