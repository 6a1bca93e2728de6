#include "media/media_header_record.h"

#include <gtest/gtest.h>

#include <string>

#include "link/wire_format.h"

namespace tw {
namespace {

bool AllZero(const MediaHeaderRecord::Bytes& bytes, std::size_t from, std::size_t to) {
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to),
                     [](std::uint8_t b) { return b == 0; });
}

TEST(MediaHeaderRecord, PhotoRecordLayout) {
  const auto record = MediaHeaderRecord::ForPhoto("/home/me/pics/a.jpg", 0x00012345);
  const auto& bytes = record.Data();
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "a.jpg");
  EXPECT_TRUE(AllZero(bytes, 5, 256));
  EXPECT_EQ(GetBigEndian32(bytes.data() + 256), 0x00012345u);
  EXPECT_TRUE(AllZero(bytes, 260, 399));
  EXPECT_EQ(bytes[399], 2);
  EXPECT_TRUE(AllZero(bytes, 400, 1024));
}

TEST(MediaHeaderRecord, Mp3RecordCarriesDurationAndTag) {
  Id3v1Block tag{};
  for (std::size_t i = 0; i < tag.size(); ++i) {
    tag[i] = static_cast<std::uint8_t>(i + 1);
  }
  const auto record = MediaHeaderRecord::ForMp3("song.mp3", 4'000'000, 250, tag);
  const auto& bytes = record.Data();
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "song.mp3");
  EXPECT_EQ(GetBigEndian32(bytes.data() + 256), 4'000'000u);
  EXPECT_EQ(GetBigEndian32(bytes.data() + 260), 250u);
  EXPECT_TRUE(AllZero(bytes, 264, 268));
  EXPECT_TRUE(std::equal(tag.begin(), tag.end(), bytes.begin() + 268));
  EXPECT_TRUE(AllZero(bytes, 396, 1024));  // content type 0 included
}

TEST(MediaHeaderRecord, ParseReadsBackWhatWasBuiltAndRejectsAnUnterminatedName) {
  const auto parsed =
      MediaHeaderRecord::Parse(MediaHeaderRecord::ForMp3("x.mp3", 4242, 61, Id3v1Block{}).Data().data());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Name(), "x.mp3");
  EXPECT_EQ(parsed->Length(), 4242u);
  EXPECT_EQ(parsed->Duration(), 61u);
  EXPECT_EQ(parsed->ContentType(), MediaContentType::Mp3);
  EXPECT_EQ(MediaHeaderRecord::Parse(MediaHeaderRecord::ForPhoto("p.jpg", 1).Data().data())->ContentType(),
            MediaContentType::Photo);
  MediaHeaderRecord::Bytes unterminated{};
  unterminated.fill('a');
  EXPECT_FALSE(MediaHeaderRecord::Parse(unterminated.data()));
}

TEST(MediaHeaderRecord, LongNamesAreCutAtCharacterBoundary) {
  const std::string exact(255, 'n');
  EXPECT_EQ(MediaHeaderRecord::RecordName(exact), exact);
  EXPECT_EQ(MediaHeaderRecord::RecordName(std::string(300, 'n')).size(), 255u);

  const std::string euro = "\xE2\x82\xAC";
  // A two-byte character at 254..255 and a three-byte one at 253..255 are dropped whole.
  EXPECT_EQ(MediaHeaderRecord::RecordName(std::string(254, 'a') + "\xC3\xA9" + "b"), std::string(254, 'a'));
  EXPECT_EQ(MediaHeaderRecord::RecordName(std::string(253, 'a') + euro + "b"), std::string(253, 'a'));
  // One ending exactly at 255 stays.
  EXPECT_EQ(MediaHeaderRecord::RecordName(std::string(252, 'a') + euro + "b"), std::string(252, 'a') + euro);
  // Bytes that are not UTF-8 are cut plainly.
  EXPECT_EQ(MediaHeaderRecord::RecordName(std::string(300, '\x80')).size(), 255u);

  const auto record = MediaHeaderRecord::ForPhoto("dir/" + std::string(253, 'a') + euro + ".jpg", 1);
  EXPECT_EQ(record.Data()[252], 'a');
  EXPECT_TRUE(AllZero(record.Data(), 253, 256));
}

}  // namespace
}  // namespace tw
