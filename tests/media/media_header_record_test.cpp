#include "media/media_header_record.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_pc.h"

namespace tw {
namespace {

using test::Bytes;
using test::ScriptedPc;

Bytes Of(const MediaHeaderRecord& record) { return Bytes(record.Data().begin(), record.Data().end()); }

TEST(MediaHeaderRecord, RecordsMatchTheBoxsLayoutAndAnUnterminatedNameIsNoRecord) {
  EXPECT_EQ(Of(MediaHeaderRecord::ForPhoto("/home/me/pics/a.jpg", 0x00012345)),
            ScriptedPc::MediaRecord("a.jpg", 0x00012345, 0, 2));
  Id3v1Block tag{};
  for (std::size_t i = 0; i < tag.size(); ++i) {
    tag[i] = static_cast<std::uint8_t>(i + 1);
  }
  Bytes mp3 = ScriptedPc::MediaRecord("song.mp3", 4'000'000, 250, 0);
  std::copy(tag.begin(), tag.end(), mp3.begin() + 268);
  EXPECT_EQ(Of(MediaHeaderRecord::ForMp3("song.mp3", 4'000'000, 250, tag)), mp3);

  MediaHeaderRecord::Bytes unterminated{};
  unterminated.fill('a');
  EXPECT_FALSE(MediaHeaderRecord::Parse(unterminated.data()));
}

TEST(MediaHeaderRecord, LongNamesAreCutAtCharacterBoundary) {
  const std::string euro = "\xE2\x82\xAC";
  const std::string a252(252, 'a');
  for (const auto& [name, recorded] : {
           std::pair{std::string(255, 'n'), std::string(255, 'n')},
           std::pair{std::string(300, 'n'), std::string(255, 'n')},
           std::pair{a252 + "aa\xC3\xA9" + "b", a252 + "aa"},
           std::pair{a252 + "a" + euro + "b", a252 + "a"},
           std::pair{a252 + euro + "b", a252 + euro},
           std::pair{std::string(300, '\x80'), std::string(255, '\x80')},
       }) {
    EXPECT_EQ(MediaHeaderRecord::RecordName(name), recorded) << name.size();
  }
  EXPECT_EQ(Of(MediaHeaderRecord::ForPhoto("dir/" + a252 + "a" + euro + ".jpg", 1)),
            ScriptedPc::MediaRecord(a252 + "a", 1, 0, 2));
}

}  // namespace
}  // namespace tw
