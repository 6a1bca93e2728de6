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
                           .searchPath = m_searchPath,
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
  std::string m_searchPath;
  std::vector<std::string> m_messages;
};

// The thumbnail takes its reserve, padded or cut, ahead of the still; a long one still counts whole,
// as zeros behind the still. The background is the still alone.
TEST_F(PhotoConversion, ContentIsTheThumbnailInItsReserveThenTheStill) {
  const std::string reserve(kThumbnailReserve, 'T');
  const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  for (const auto& [thumbnail, mode, expected] :
       {std::tuple{std::size_t{100}, Mode::Photo,
                   text(std::string(100, 'T') + std::string(kThumbnailReserve - 100, '\0') + "STILL-0")},
        std::tuple{kThumbnailReserve + 13, Mode::Photo, text(reserve + "STILL-0" + std::string(13, '\0'))},
        std::tuple{std::size_t{100}, Mode::Background, text("STILL-1")}}) {
    InstallConverter(WritingConverter(thumbnail), m_own);
    EXPECT_EQ(Convert(mode), expected) << thumbnail;
  }
  EXPECT_TRUE(m_messages.empty());
}

// Arguments reach the converter verbatim, without a shell. A failing converter after good ones is
// reported, not answered with the earlier output.
TEST_F(PhotoConversion, EveryConversionHasAPrivateFolderOfItsOwnRemovedAfterwards) {
  InstallConverter(WritingConverter(100), m_own);
  ASSERT_TRUE(Convert());
  const std::string first = OutputFolder();
  EXPECT_EQ(fs::path(first).parent_path(), m_temp);
  EXPECT_EQ(test::ReadText(m_temp / "args.txt"), m_photo + "\n" + first + "/output.mpg\n0\n" + first + "\n");
  EXPECT_EQ(test::ReadText(m_temp / "cwd.txt"), fs::canonical(m_start).string() + "\n");
  ASSERT_TRUE(Convert(Mode::Background));
  EXPECT_NE(OutputFolder(), first);
  InstallConverter(std::string(kRecordingConverter) + "exit 1\n", m_own);
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, std::vector<std::string>{"Can't open " + OutputFolder() + "/output.mpg !!!"});
  EXPECT_EQ(test::ReadText(m_temp / "modes.txt"), "700\n700\n700\n");
  ExpectNothingLeftBehind();
}

TEST_F(PhotoConversion, MissingConverterThumbnailOrTemporaryFolderIsReported) {
  EXPECT_FALSE(Convert());
  test::WriteText(m_own / "PIXVANE.EXE", "not a program");  // no execute permission
  EXPECT_FALSE(Convert());
  InstallConverter(std::string(kRecordingConverter) + "printf still > \"$2\"\n", m_own);
  EXPECT_FALSE(Convert());
  const std::string thumbnail = OutputFolder() + "/input2.ppm";
  EXPECT_TRUE(Convert(Mode::Background)) << "the background needs no thumbnail";
  m_temp /= "missing";
  EXPECT_FALSE(Convert());
  EXPECT_EQ(m_messages, (std::vector<std::string>{"Can't Execute PIXVANE.EXE File", "Can't Execute PIXVANE.EXE File",
                                                  "Can't open " + thumbnail + " !!!",
                                                  "Can't open " + (m_temp / "tarnwick-XXXXXX").string() + " !!!"}));
}

TEST_F(PhotoConversion, FoundInOwnFolderThenStartFolderThenPath) {
  const auto onPath = m_root.Make("on path");
  m_searchPath = "/nonexistent:" + onPath.string();
  for (const auto& folder : {m_own, m_start, onPath}) {
    InstallConverter("printf %s \"$0\" > \"$2\"\n", folder);
  }
  for (const auto& folder : {m_own, m_start, onPath}) {
    const auto content = Convert(Mode::Background);
    EXPECT_EQ(content ? std::string(content->begin(), content->end()) : "", (folder / "PIXVANE.EXE").string());
    fs::remove(folder / "PIXVANE.EXE");
  }
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
