#include "media/mp3_info.h"

#include <gtest/gtest.h>

#include <string>

#include "link/wire_format.h"
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

// A Xing block: "Xing", the flags, then the parts the flags announce.
Bytes XingBlock(std::uint32_t flags, std::uint32_t frames, std::uint32_t byteCount, std::uint32_t scale) {
  Bytes block{'X', 'i', 'n', 'g'};
  const auto word = [&](std::uint32_t value) {
    std::uint8_t be[4];
    PutBigEndian32(be, value);
    block.insert(block.end(), be, be + 4);
  };
  word(flags);
  if (flags & 1) word(frames);
  if (flags & 2) word(byteCount);
  if (flags & 4) block.insert(block.end(), 100, 0x11);
  if (flags & 8) word(scale);
  return block;
}

struct Placement {
  std::size_t at;
  Bytes bytes;
};

// The scanned head with these parts placed in it, of a file that is `fileSize` long.
CMp3Info InspectHead(const std::vector<Placement>& parts, std::uint64_t fileSize) {
  Bytes head = Filler(kScan);
  for (const auto& part : parts) {
    PutAt(head, part.at, part.bytes);
  }
  head.resize(kScan);
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
}

TEST(Mp3Info, Id3v1FieldsAreTrimmedInPlaceButHighBytesAreNotWhiteSpace) {
  Bytes file = Filler(kScan + 128);
  PutAt(file, 0, kMpeg1L3At128);
  test::Id3v1Fields fields{.title = "  Song  ",
                           .artist = "\t\r\nBand\v\f",
                           .album = std::string(30, ' '),
                           .year = "1999",
                           .comment = " \xA0x\xA0 ",
                           .genre = 17};
  PutAt(file, kScan, test::Id3v1Tag(fields));

  const auto info = Inspect(file);
  ASSERT_EQ(info.TagKind(), Mp3TagKind::Id3v1);
  EXPECT_EQ((std::vector<std::string>{info.Title(), info.Artist(), info.Album(), info.Year(), info.Comment()}),
            (std::vector<std::string>{"Song", "Band", "", "1999", "\xA0x\xA0"}));
  EXPECT_EQ(info.Genre(), "Rock");

  const auto& block = info.Id3v1();
  // "  Song  " -> "Song" and three written zeros; the byte behind them keeps its old space.
  EXPECT_EQ(Bytes(block.begin() + 3, block.begin() + 11), (Bytes{'S', 'o', 'n', 'g', 0, 0, 0, ' '}));
  // Thirty spaces: only the first byte becomes zero.
  EXPECT_EQ(std::string(block.begin() + 63, block.begin() + 93), std::string(1, '\0') + std::string(29, ' '));
}

TEST(Mp3Info, TrackNeedsZeroBeforeItAndGenreCodesNameTheirEntry) {
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

  for (const auto& [code, name] : {std::pair{0, "Blues"}, std::pair{12, "Other"}, std::pair{144, "Thrash Metal"},
                                   std::pair{145, "unknown"}, std::pair{255, "unknown"}}) {
    Bytes small = Filler(200);
    PutAt(small, 72, test::Id3v1Tag({.genre = static_cast<std::uint8_t>(code)}));
    EXPECT_EQ(Inspect(small).Genre(), name) << code;
  }
}

std::string Summary(const CMp3Info& info) {
  std::string text = "v" + std::to_string(info.Version()) + " " + std::to_string(info.Bitrate()) + " bit/s " +
                     std::to_string(info.SampleRate()) + " Hz " + std::to_string(info.Duration()) + " s";
  if (!info.IsVbr()) {
    return text;
  }
  return info.VbrScale() == kNoVbrScale ? text + " VBR" : text + " VBR scale " + std::to_string(info.VbrScale());
}

// Where the frame header is found and what it and a Xing block say; nothing read beyond the scanned
// bytes. A Xing bitrate is the rounded average: 418 * 44100 / 144 = 128012, 209 * 44100 / 144 = 64006
// (the file size standing in for a missing byte count), 200 * 22050 / 144 = 30625.
TEST(Mp3Info, FrameHeaderAndXingBlockGiveVersionBitrateRateAndDuration) {
  const Bytes riff{'R', 'I', 'F', 'F'};
  const Bytes mpeg2 = FrameHeader(0xF3, 0x90, 0x00);
  const char* kNothing = "v0 0 bit/s 0 Hz 0 s";
  const struct {
    std::vector<Placement> head;
    std::uint64_t fileSize;
    const char* summary;
  } cases[] = {
      {{{0, kMpeg1L3At128}}, 4'000'000, "v1 128000 bit/s 44100 Hz 250 s"},
      {{{0, {'R', 'I', 'F', 'X'}}, {5, FrameHeader(0xFB, 0x90, 0x40)}}, 1'600'000, "v1 128000 bit/s 44100 Hz 100 s"},
      {{{0, kMpeg1L3At128}}, 300ull << 20, "v1 128000 bit/s 44100 Hz 19660 s"},
      {{{0, kMpeg1L3At128}}, 5ull << 30, "v1 128000 bit/s 44100 Hz 335544 s"},
      {{{0, mpeg2}}, 1'600'000, "v2 128000 bit/s 22050 Hz 100 s"},
      {{{0, FrameHeader(0xE3, 0x30, 0x00)}}, 300'000, "v4 24000 bit/s 11025 Hz 100 s"},
      {{{0, kMpeg1L3At128}, {36, XingBlock(0x0F, 10'000, 4'180'000, 57)}},
       4'180'000,
       "v1 128000 bit/s 44100 Hz 261 s VBR scale 57"},
      {{{0, FrameHeader(0xFB, 0x90, 0xC0)}, {21, XingBlock(0x01, 10'000, 0, 0)}},
       2'090'000,
       "v1 64000 bit/s 44100 Hz 261 s VBR"},
      {{{0, kMpeg1L3At128}, {36, XingBlock(0x08, 0, 0, 80)}}, 1'000'000, "v1 0 bit/s 44100 Hz 0 s VBR scale 80"},
      {{{0, mpeg2}, {21, XingBlock(0x03, 1000, 200'000, 0)}}, 200'000, "v2 30000 bit/s 22050 Hz 53 s VBR"},
      // a 0xFF before "data" is not taken
      {{{0, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
        {12, FrameHeader(0xFB, 0x10, 0x00)},
        {60, {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF}},
        {68, kMpeg1L3At128}},
       1'600'000,
       "v1 128000 bit/s 44100 Hz 100 s"},
      {{{0, riff}, {100, kMpeg1L3At128}}, 1'000'000, kNothing},
      {{{0, riff}, {100, kMpeg1L3At128}, {2039, {'d', 'a', 't', 'a', 0, 0, 0, 0, 0xFF}}}, 1'000'000, kNothing},
      {{{2020, kMpeg1L3At128}}, 1'000'000, kNothing},
      {{{1950, kMpeg1L3At128}, {1986, XingBlock(0x0F, 1, 1, 1)}}, 1'000'000, kNothing},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Summary(InspectHead(c.head, c.fileSize)), c.summary);
  }
  const auto constant = InspectHead({{0, kMpeg1L3At128}}, 5ull << 30);
  EXPECT_EQ(constant.Layer(), 3);
  EXPECT_EQ(constant.Frames(), 12'845'056u);
  EXPECT_EQ(InspectHead({{5, FrameHeader(0xFB, 0x90, 0x40)}}, 1'600'000).ChannelMode(), 1);
  EXPECT_EQ(CMp3Info::ChannelModeName(1), "Joint-Stereo");
}

TEST(Mp3Info, ShortFilesKeepTagsButHaveNoDuration) {
  Bytes file = Filler(1000);
  PutAt(file, 0, kMpeg1L3At128);
  PutAt(file, 1000 - 128, test::Id3v1Tag({.title = "Short"}));
  const auto info = Inspect(file);
  EXPECT_EQ(info.Title(), "Short");
  EXPECT_EQ(info.Duration(), 0u);

  for (const auto size : {0u, 3u, 10u, 127u}) {
    const auto tiny = Inspect(Bytes(size, 0xFF));
    EXPECT_EQ(tiny.TagKind(), Mp3TagKind::None);
    EXPECT_EQ(tiny.Duration(), 0u);
  }

  Bytes id3v2Only(kScan, 0xFF);
  PutAt(id3v2Only, 0, {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0x10});  // 16 + 10 bytes of tag: too little behind it
  EXPECT_EQ(Inspect(id3v2Only).Duration(), 0u);
}

}  // namespace
}  // namespace tw
