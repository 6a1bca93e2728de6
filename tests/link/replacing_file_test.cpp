#include "link/replacing_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> Entries(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

bool Write(ReplacingFile& file, std::string_view text) {
  return file.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(ReplacingFile, TheOldFileStaysUntilTheNewOneIsCompleteAndNoTemporaryIsLeft) {
  TempDir dir;
  const fs::path target = dir.Path() / "box.db";
  std::ofstream(target) << "old";

  ReplacingFile file;
  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(Write(file, "half"));
  const std::vector<fs::path> writing = Entries(dir.Path());
  ASSERT_EQ(writing.size(), 2u);
  EXPECT_TRUE(ReplacingFile::IsTemporary(writing[0]) != ReplacingFile::IsTemporary(writing[1]));
  file.Discard();
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(Entries(dir.Path()).size(), 1u);

  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(Write(file, "new"));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(Entries(dir.Path()).size(), 1u);
  EXPECT_FALSE(file.Write(nullptr, 0)) << "a committed file takes no more bytes";
}

TEST(ReplacingFile, AFolderIsNoTargetAndOnlyItsOwnNamesAreTemporary) {
  TempDir dir;
  ReplacingFile file;
  EXPECT_FALSE(file.Create(dir.Path()));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
  for (const char* name : {"song.mp3", "song.part", "a.partial", "a.part12x"}) {
    EXPECT_FALSE(ReplacingFile::IsTemporary(name)) << name;
  }
  EXPECT_TRUE(ReplacingFile::IsTemporary("dir/song.part.mp3.part4711"));
}

}  // namespace
}  // namespace tw::test
