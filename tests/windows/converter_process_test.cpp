// The converter's process on Windows: its arguments arrive as given, a timeout ends it.
#include "media/converter_process.h"

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first
#include <shellapi.h>

#include "media/command_line_win32.h"

namespace tw {
namespace {

std::filesystem::path OwnProgram(const std::string& name) { return ConverterProcess::OwnFolder() / (name + ".exe"); }

TEST(ConverterProcessWin32, ArgumentsComeBackAsTheyWereGiven) {
  const std::vector<std::string> arguments{
      "PIXVANE.EXE", "C:\\My Photos\\a b.jpg", "say \"hi\"", "ends\\", "in\\\\\"q", "", "plain"};
  std::wstring line = WindowsCommandLine(arguments);
  int count = 0;
  LPWSTR* parsed = CommandLineToArgvW(line.c_str(), &count);
  ASSERT_NE(parsed, nullptr);
  ASSERT_EQ(count, static_cast<int>(arguments.size()));
  for (int i = 1; i < count; ++i) {
    EXPECT_EQ(std::filesystem::path(parsed[i]).string(), arguments[static_cast<std::size_t>(i)]) << i;
  }
  LocalFree(parsed);
}

TEST(ConverterProcessWin32, AProgramEndsOrIsKilledAtItsLimit) {
  const auto folder = ConverterProcess::OwnFolder();
  auto quick = ConverterProcess::Start(OwnProgram("tarnwick-cli"), {"tarnwick-cli", "--version"}, folder);
  ASSERT_NE(quick, nullptr);
  EXPECT_TRUE(quick->WaitFor(std::chrono::seconds(60)));

  // The simulated box serves until it is stopped: a converter that overruns.
  auto stuck = ConverterProcess::Start(OwnProgram("tarnwick-boxsim"), {"tarnwick-boxsim", "--tcp", "0"}, folder);
  ASSERT_NE(stuck, nullptr);
  EXPECT_FALSE(stuck->WaitFor(std::chrono::milliseconds(200)));
  stuck->Kill();
  EXPECT_TRUE(stuck->WaitFor(std::chrono::milliseconds(0)));

  EXPECT_EQ(ConverterProcess::Start(folder / "no-such-program.exe", {"x"}, folder), nullptr);
}

}  // namespace
}  // namespace tw
