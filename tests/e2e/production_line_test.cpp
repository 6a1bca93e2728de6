// Several boxes from one run, read-back verification, JSON progress and the run log, as a production
// line's script sees them.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <future>
#include <sstream>

#include "cli_fixture.h"

namespace tw::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// The summary's row of a port: the line that starts with it.
std::string SummaryRow(const std::string& out, const std::string& port) {
  const auto start = ("\n" + out).find("\n" + port + " ");
  return start == std::string::npos ? "" : out.substr(start, out.find('\n', start) - start);
}

TEST_F(CliTest, FourBoxesAtOnceAndTheFailingOneDoesNotStopTheOthers) {
  const auto failing = Box({"--fail-after", "3"});
  const std::string broken = failing->FirstLine();
  const RunResult run =
      Cli({"--port", "sim", "--port", "sim,sim", "--port", broken, "program-download", GzipFile(40000)});
  EXPECT_EQ(run.status, 1) << run.err;
  for (const char* port : {"sim#1", "sim#2", "sim#3"}) {
    EXPECT_NE(run.out.find(std::string(port) + ": Download Complete!!!\n"), std::string::npos) << run.out;
    const std::string row = SummaryRow(run.out, port);
    EXPECT_NE(row.find("Download Complete!!!"), std::string::npos) << run.out;
    EXPECT_NE(row.find(" 40000 "), std::string::npos) << row;
  }
  EXPECT_NE(run.out.find(broken + ": There was a problem to communicate with STB\n" + broken + ": Please Retry.\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(SummaryRow(run.out, broken).find("There was a problem to communicate with STB Please Retry."),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(SummaryRow(run.out, "port").starts_with("port ")) << run.out;
  // Progress is prefixed lines, never a redrawn bar, when several ports share the stream.
  EXPECT_EQ(run.err.find('\r'), std::string::npos);
  EXPECT_NE(run.err.find("sim#2: COM 1 -> "), std::string::npos) << run.err;

  EXPECT_EQ(Cli({"--port", "sim,2,2", "program-download", GzipFile(100)}).status, 2);
  EXPECT_EQ(Cli({"--port", "sim,sim", "database-upload", (m_dir / "db.bin").string()}).status, 2);
}

TEST_F(CliTest, OnATerminalEachPortKeepsOneRowAndEveryMessageShowsOnce) {
  const RunResult run =
      RunOnTerminal({BinPath("tarnwick-cli"), "--port", "sim,sim", "program-download", GzipFile(20000)});
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> screen = Lines(Screen(run.out));
  for (const std::string port : {"sim#1", "sim#2"}) {
    // The row: port, device, then the bar.
    const auto isRow = [&](const std::string& line) {
      return line.starts_with(port + ": /dev/") && line.find("  [") != std::string::npos;
    };
    EXPECT_EQ(std::count_if(screen.begin(), screen.end(), isRow), 1) << Screen(run.out);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), port + ": Download Complete!!!"), 1) << Screen(run.out);
    const auto row = std::find_if(screen.begin(), screen.end(), isRow);
    EXPECT_TRUE(row != screen.end() && row->find("100%") != std::string::npos) << Screen(run.out);
  }
}

TEST_F(CliTest, CtrlCEndsEveryPortAndClosesThem) {
  const auto first = Box({"--silent"});
  const auto second = Box({"--silent"});
  BackgroundProcess run({BinPath("tarnwick-cli"), "--port", first->FirstLine(), "--port", second->FirstLine(),
                         "program-download", GzipFile(3000)},
                        BackgroundProcess::FirstLineFrom::Err);
  EXPECT_EQ(run.Stop(SIGINT), 130);
  for (const auto* box : {first.get(), second.get()}) {
    const RunResult again = Cli({"--port", box->FirstLine(), "--timeout", "1", "program-download", GzipFile(3000)});
    EXPECT_EQ(again.status, 3) << "the port was left open: " << again.out;
  }
}

TEST_F(CliTest, VerifyCatchesAByteTheBoxStoredWrong) {
  const Bytes window = Pattern(4096, 3);
  const std::string file = Write("window.bin", window);
  const auto worn = Box({"--flip-byte", "1500"});
  const RunResult bad = Cli({"--port", worn->FirstLine(), "--verify", "download", "--mode", "sdram", file});
  char expected[96];
  std::snprintf(expected, sizeof expected, "Verify failed at offset 0x000005DC: sent 0x%02X, read back 0x%02X\n",
                window[1500], window[1500] ^ 0xFF);
  EXPECT_EQ(bad.out, std::string("Download Complete!!!\n") + expected);
  EXPECT_EQ(bad.status, 1);

  const RunResult good = Cli({"--port", "sim", "--verify", "database-download", Write("db.bin", Pattern(329728, 4))});
  EXPECT_EQ(good.status, 0) << good.out << good.err;
  EXPECT_NE(good.err.find("Verified 329728 bytes"), std::string::npos) << good.err;

  for (const std::vector<std::string>& refused :
       {std::vector<std::string>{"program-download", file},
        {"send-media", file},
        {"upload", "--mode", "sdram", "--size", "4", "--output", (m_dir / "u.bin").string()}}) {
    std::vector<std::string> arguments{"--port", "sim", "--verify"};
    arguments.insert(arguments.end(), refused.begin(), refused.end());
    const RunResult run = Cli(arguments);
    EXPECT_EQ(run.status, 2) << refused[0];
    EXPECT_NE(run.err.find("--verify: "), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(CliTest, JsonProgressParsesBackEventByEvent) {
  const std::string image = GzipFile(20000);
  const RunResult run = Cli({"--port", "sim", "--progress", "json", "program-download", image});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Download Complete!!!\n");
  std::vector<nlohmann::json> events;
  for (const std::string& line : Lines(run.err)) {
    events.push_back(nlohmann::json::parse(line));
    EXPECT_EQ(events.back().at("port"), "sim");
  }
  ASSERT_GE(events.size(), 3u) << run.err;
  const nlohmann::json& start = events.front();
  EXPECT_EQ(start.at("event"), "start");
  EXPECT_EQ(start.at("command"), "program-download");
  EXPECT_EQ(start.at("file"), image);
  EXPECT_EQ(start.at("size"), 20000);
  EXPECT_TRUE(start.at("device").get<std::string>().starts_with("/dev/"));
  const nlohmann::json& end = events.back();
  EXPECT_EQ(end.at("event"), "end");
  EXPECT_EQ(end.at("result"), "Download Complete!!!");
  EXPECT_EQ(end.at("status"), 0);
  int lastPercent = -1;
  bool message = false;
  for (const nlohmann::json& event : events) {
    if (event.at("event") == "progress") {
      EXPECT_GT(event.at("percent").get<int>(), lastPercent);
      lastPercent = event.at("percent");
      EXPECT_EQ(event.at("total"), 20000);
      EXPECT_LE(event.at("bytes").get<int>(), 20000);
      EXPECT_TRUE(event.at("rate").get<double>() >= 0 && (event.at("eta").is_null() || event.at("eta") >= 0));
    }
    message = message || (event.at("event") == "message" && event.at("text") == "Download Complete!!!");
  }
  EXPECT_EQ(lastPercent, 100);
  EXPECT_TRUE(message);
}

TEST_F(CliTest, TwoRunsAtOnceAppendWholeLinesToOneLog) {
  const std::string log = (m_dir / "line.csv").string();
  // A comma in a name stays inside its cell.
  const std::string image = Write("box \"7\", line 2.gz", Read(GzipFile(30000)));
  const auto run = [&] { return Cli({"--port", "sim,sim,sim", "--log", log, "program-download", image}); };
  auto first = std::async(std::launch::async, run);
  auto second = std::async(std::launch::async, run);
  EXPECT_EQ(first.get().status, 0);
  EXPECT_EQ(second.get().status, 0);
  const std::string crc = Cli({"crc", image}).out.substr(0, 8);
  const Bytes written = Read(log);
  const std::vector<std::string> lines = Lines(std::string(written.begin(), written.end()));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "time,port,device,command,file,size,crc,result,seconds,status");
  const std::string quoted = "\"" + (m_dir / "box \"\"7\"\", line 2.gz").string() + "\"";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_NE(lines[i].find(",program-download," + quoted + ",30000," + crc + ",Download Complete!!!,"),
              std::string::npos)
        << lines[i];
    EXPECT_TRUE(lines[i].ends_with(",0")) << lines[i];
  }

  const RunResult unwritable = Cli({"--port", "sim", "--log", m_dir.string(), "program-download", image});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("cannot write the log"), std::string::npos);
  EXPECT_TRUE(unwritable.out.empty()) << "nothing is flashed that cannot be logged";
}

}  // namespace
}  // namespace tw::test
