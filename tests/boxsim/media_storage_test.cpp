// MP3 files, photos and the background picture on the simulated disk.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "boxsim/loader_fixture.h"
#include "boxsim/media_disk.h"

namespace tw::test {
namespace {

Bytes MediaTransfer(std::string_view name, const Bytes& content, MediaContentType type) {
  Bytes media =
      ScriptedPc::MediaRecord(name, static_cast<std::uint32_t>(content.size()), 0, static_cast<std::uint8_t>(type));
  media.insert(media.end(), content.begin(), content.end());
  return media;
}

class MediaStorageTest : public LoaderFixture {
 protected:
  void SetUp() override {
    BoxOptions options;
    options.diskDir = m_dir.Path();
    options.diskSize = 5000;
    options.maxPhotos = 1;
    Start(options);
  }

  std::uint8_t Store(Mode mode, std::string_view name, const Bytes& content) {
    const MediaContentType type = mode == Mode::Mp3 ? MediaContentType::Mp3 : MediaContentType::Photo;
    const auto replies = Download(mode, 0, MediaTransfer(name, content, type));
    return replies.empty() ? 0 : replies.back().code;
  }

  TempDir m_dir;
};

TEST_F(MediaStorageTest, NamesCannotLeaveTheirFolder) {
  EXPECT_EQ(Store(Mode::Mp3, "../../evil/x.mp3", Pattern(10)), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Mp3, "..", Pattern(10)), rpl::kComplete);
  EXPECT_EQ(m_line.bauds.back(), kDefaultIdleBaud) << "the speed goes back to idle after a transfer";
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir.Path())) {
    names.push_back(std::filesystem::relative(entry.path(), m_dir.Path()).generic_string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"mp3", "mp3/.._.._evil_x.mp3", "mp3/unnamed", "photo"}));
  EXPECT_EQ(MediaDisk::StoredName("a\\b:c\x01?"), "a_b_c__");
  EXPECT_EQ(MediaDisk::StoredName(""), "unnamed");
}

// A replacement may take the room, or the photo place, of the file it replaces.
TEST_F(MediaStorageTest, DiskSizeAndPhotoCountLimitsRefuseWhatDoesNotFitAndTheBackgroundHasItsSlot) {
  EXPECT_EQ(Store(Mode::Photo, "one.jpg", Pattern(100)), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Photo, "two.jpg", Pattern(100)), rpl::kPhotoError);
  EXPECT_EQ(Store(Mode::Photo, "one.jpg", Pattern(90)), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Mp3, "a.mp3", Pattern(3000)), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Mp3, "b.mp3", Pattern(1911)), rpl::kNoHddSpace);
  EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "mp3" / "b.mp3"));
  EXPECT_EQ(Store(Mode::Mp3, "b.mp3", Pattern(1910)), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Mp3, "a.mp3", Pattern(2900)), rpl::kComplete);
  const Bytes picture = Pattern(1500, 9);
  EXPECT_EQ(Store(Mode::Background, "whatever.jpg", picture), rpl::kComplete);
  EXPECT_EQ(Store(Mode::Background, "other.jpg", picture), rpl::kComplete);
  std::ifstream slot(m_dir.Path() / "background.slot", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(slot), {}), picture);
}

// A photo record in MP3 mode, a length that disagrees with the announced size, and a transfer cut
// short by a handshake.
TEST_F(MediaStorageTest, RefusedOrUnfinishedTransfersLeaveNoFile) {
  EXPECT_EQ(Download(Mode::Mp3, 0, MediaTransfer("p.jpg", Pattern(10), MediaContentType::Photo)),
            Codes({rpl::kBadHeader}));
  Bytes wrongLength = MediaTransfer("s.mp3", Pattern(10), MediaContentType::Mp3);
  wrongLength.push_back(0);
  EXPECT_EQ(Download(Mode::Mp3, 0, wrongLength), Codes({rpl::kBadHeader}));
  Negotiate();
  const Bytes media = MediaTransfer("cut.mp3", Pattern(3000), MediaContentType::Mp3);
  ASSERT_EQ(Send(ScriptedPc::Request(true, Mode::Mp3, 0, static_cast<std::uint32_t>(media.size()))),
            Codes({rpl::kSendData}));
  ASSERT_EQ(Send(m_pc.FirstBlock(std::span(media).first(1024))), Codes({rpl::kBlockOk}));
  ASSERT_EQ(Send(m_pc.NextBlock(std::span(media).subspan(1024, 1024))), Codes({rpl::kBlockOk}));
  EXPECT_EQ(Send(ScriptedPc::Handshake()), Codes({rpl::kHello}));
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path() / "mp3"));
  EXPECT_TRUE(Send(ScriptedPc::Request(true, Mode::Mp3, 0, 3000)).empty()) << "a request before the speed";
}

}  // namespace
}  // namespace tw::test
