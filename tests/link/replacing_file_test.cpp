#include "link/replacing_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_dir.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Write(ReplacingFile& file, std::string_view text) {
  return file.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// A discarded file leaves the old one; a committed one replaces it. No temporary stays either way, and
// only its own names are taken for temporaries.
TEST(ReplacingFile, TheOldFileStaysUntilTheNewOneIsComplete) {
  TempDir dir;
  const fs::path target = dir.Path() / "box.db";
  std::ofstream(target) << "old";
  const auto entries = [&] { return std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()); };

  ReplacingFile file;
  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(Write(file, "half"));
  EXPECT_EQ(entries(), 2);
  EXPECT_EQ(std::count_if(fs::directory_iterator(dir.Path()), fs::directory_iterator(),
                          [](const fs::directory_entry& e) { return ReplacingFile::IsTemporary(e.path()); }),
            1);
  file.Discard();
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(entries(), 1);

  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(Write(file, "new"));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(entries(), 1);
  EXPECT_FALSE(file.Write(nullptr, 0)) << "a committed file takes no more bytes";
  EXPECT_FALSE(file.Create(dir.Path())) << "a folder is no target";
  for (const char* name : {"song.mp3", "song.part", "a.partial", "a.part12x"}) {
    EXPECT_FALSE(ReplacingFile::IsTemporary(name)) << name;
  }
}

}  // namespace
}  // namespace tw::test
