// PhotoConverter against fake converters written as shell scripts named PIXVANE.EXE.
#include "media/photo_converter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "media/media_test_support.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using namespace std::chrono_literals;

// Records its arguments, current folder and output folder's mode beside that folder (which goes once
// the conversion is read).
constexpr std::string_view kRecordingConverter =
    "printf '%s\\n' \"$@\" > \"$4/../args.txt\"\n"
    "pwd > \"$4/../cwd.txt\"\n"
    "stat -c %a \"$4\" >> \"$4/../modes.txt\"\n";

// Records, then writes "STILL-<flag>" and a thumbnail of the given size.
std::string WritingConverter(std::size_t thumbnailBytes) {
  return std::string(kRecordingConverter) +
         "printf 'STILL-%s' \"$3\" > \"$2\"\n"
         "head -c " +
         std::to_string(thumbnailBytes) + " /dev/zero | tr '\\0' T > \"$4/input2.ppm\"\n";
}

class PhotoConversion : public ::testing::Test {
 protected:
  PhotoConverter Converter(std::chrono::milliseconds limit = 20s) {
    return PhotoConverter({.startDirectory = m_start,
                           .programDirectory = m_own,
                           .searchPath = std::string(),
                           .tempFolder = m_temp,
                           .timeLimit = limit},
                          [this](const std::string& text) { m_messages.push_back(text); });
  }
  void InstallConverter(std::string_view body, const fs::path& folder) {
    test::WriteScript(folder / "PIXVANE.EXE", body);
  }
  std::optional<Bytes> Convert(Mode mode = Mode::Photo) { return Converter().ConvertPhoto(m_photo, mode); }
  // The output folder the converter was given last.
  std::string OutputFolder() const {
    const std::string args = test::ReadText(m_temp / "args.txt");
    const auto end = args.rfind('\n', args.size() - 2);
    return args.substr(end + 1, args.size() - end - 2);
  }
  // Nothing stays in the temporary folder but the converter's records.
  void ExpectNothingLeftBehind() const {
    for (const auto& entry : fs::directory_iterator(m_temp)) {
      EXPECT_EQ(entry.path().extension(), ".txt") << entry.path();
    }
  }

  test::TempDir m_root;
  fs::path m_own = m_root.Make("own");
  fs::path m_start = m_root.Make("start dir; echo \"quoted\" 'x'");
  fs::path m_temp = m_root.Make("temp $(false) `false` & more");
  std::string m_photo = (m_root.Make("pics; rm -rf ~") / "my \"best\" photo's.jpg").string();
  std::vector<std::string> m_messages;
};

TEST_F(PhotoConversion, ShortThumbnailIsPaddedAheadOfStill) {
  InstallConverter(WritingConverter(100), m_own);
  const auto content = Convert();
  ASSERT_TRUE(content);
  const std::string still = "STILL-0";
  ASSERT_EQ(content->size(), kThumbnailReserve + still.size());
  EXPECT_TRUE(std::all_of(content->begin(), content->begin() + 100, [](auto b) { return b == 'T'; }));
  EXPECT_TRUE(std::all_of(content->begin() + 100, content->begin() + kThumbnailReserve, [](auto b) { return b == 0; }));
  EXPECT_EQ(std::string(content->begin() + kThumbnailReserve, content->end()), still);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(PhotoConversion, LongThumbnailCountsWholeFileWithZeroTail) {
  InstallConverter(WritingConverter(kThumbnailReserve + 13), m_own);
  const auto content = Convert();
  ASSERT_TRUE(content);
  const std::string still = "STILL-0";
  ASSERT_EQ(content->size(), kThumbnailReserve + 13 + still.size());
  EXPECT_TRUE(std::all_of(content->begin(), content->begin() + kThumbnailReserve, [](auto b) { return b == 'T'; }));
  const auto stillEnd = content->begin() + static_cast<std::ptrdiff_t>(kThumbnailReserve + still.size());
  EXPECT_EQ(std::string(content->begin() + kThumbnailReserve, stillEnd), still);
  EXPECT_TRUE(std::all_of(stillEnd, content->end(), [](auto b) { return b == 0; }));
}

TEST_F(PhotoConversion, BackgroundIsStillAloneThoughThumbnailExists) {
  InstallConverter(WritingConverter(100), m_own);
  const auto content = Convert(Mode::Background);
  ASSERT_TRUE(content);
  EXPECT_EQ(std::string(content->begin(), content->end()), "STILL-1");
}

TEST_F(PhotoConversion, ArgumentsReachConverterVerbatimWithoutShell) {
  InstallConverter(WritingConverter(1), m_own);
  ASSERT_TRUE(Convert());
  const std::string folder = OutputFolder();
  EXPECT_EQ(fs::path(folder).parent_path(), m_temp);
  const std::string expected = m_photo + "\n" + folder + "/output.mpg\n0\n" + folder + "\n";
  EXPECT_EQ(test::ReadText(m_temp / "args.txt"), expected);
  EXPECT_EQ(test::ReadText(m_temp / "cwd.txt"), fs::canonical(m_start).string() + "\n");
}

// A failing converter after good ones: reported, not answered with the earlier output.
TEST_F(PhotoConversion, EveryConversionHasAPrivateFolderOfItsOwnRemovedAfterwards) {
  InstallConverter(WritingConverter(100), m_own);
  ASSERT_TRUE(Convert());
  const std::string first = OutputFolder();
  ASSERT_TRUE(Convert(Mode::Background));
  EXPECT_NE(OutputFolder(), first);
  InstallConverter(std::string(kRecordingConverter) + "exit 1\n", m_own);
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, std::vector<std::string>{"Can't open " + OutputFolder() + "/output.mpg !!!"});
  EXPECT_EQ(test::ReadText(m_temp / "modes.txt"), "700\n700\n700\n");
  ExpectNothingLeftBehind();
}

TEST_F(PhotoConversion, MissingThumbnailIsReported) {
  InstallConverter(std::string(kRecordingConverter) + "printf still > \"$2\"\n", m_own);
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, std::vector<std::string>{"Can't open " + OutputFolder() + "/input2.ppm !!!"});
  EXPECT_TRUE(Convert(Mode::Background));  // the background needs no thumbnail
}

TEST_F(PhotoConversion, UnusableTemporaryFolderIsReported) {
  InstallConverter(WritingConverter(100), m_own);
  m_temp /= "missing";
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, std::vector<std::string>{"Can't open " + (m_temp / "tarnwick-XXXXXX").string() + " !!!"});
}

TEST_F(PhotoConversion, MissingOrUnrunnableConverterCannotExecute) {
  EXPECT_FALSE(Convert());
  test::WriteText(m_own / "PIXVANE.EXE", "not a program");  // no execute permission
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, (std::vector<std::string>{"Can't Execute PIXVANE.EXE File", "Can't Execute PIXVANE.EXE File"}));
}

TEST_F(PhotoConversion, FoundInOwnFolderThenStartFolderThenPath) {
  const auto onPath = m_root.Make("on path");
  InstallConverter("printf own > \"$2\"\n", m_own);
  InstallConverter("printf start > \"$2\"\n", m_start);
  InstallConverter("printf path > \"$2\"\n", onPath);
  const auto run = [&] {
    PhotoConverter converter({.startDirectory = m_start,
                              .programDirectory = m_own,
                              .searchPath = "/nonexistent:" + onPath.string(),
                              .tempFolder = m_temp},
                             {});
    const auto content = converter.ConvertPhoto(m_photo, Mode::Background);
    return content ? std::string(content->begin(), content->end()) : std::string("none");
  };
  EXPECT_EQ(run(), "own");
  fs::remove(m_own / "PIXVANE.EXE");
  EXPECT_EQ(run(), "start");
  fs::remove(m_start / "PIXVANE.EXE");
  EXPECT_EQ(run(), "path");
}

TEST_F(PhotoConversion, TimeoutReportsThenKillsAndReapsConverter) {
  InstallConverter("echo $$ > \"$4/../pid.txt\"\nexec sleep 60\n", m_own);
  EXPECT_FALSE(Converter(300ms).ConvertPhoto(m_photo, Mode::Photo));
  EXPECT_EQ(m_messages, std::vector<std::string>{"Timeout !!!"});
  ExpectNothingLeftBehind();
  // Once reaped, the converter's process id no longer exists.
  if (fs::exists(m_temp / "pid.txt")) {
    const pid_t pid = std::stoi(test::ReadText(m_temp / "pid.txt"));
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
  }
}

}  // namespace
}  // namespace tw
