#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <termios.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "cli_fixture.h"
#include "link/serial_device_info.h"
#include "support/pty_pair.h"

namespace tw::test {
namespace {

TEST_F(CliTest, CommandLineContract) {
  const RunResult help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* status : {"0 success", "1 failed", "2 usage", "3 no reply", "130 interrupted"}) {
    EXPECT_NE(help.out.find(status), std::string::npos) << status;
  }
  // Every argument of every command says what it is.
  for (const char* command : {"program-download", "database-download", "database-upload", "boot-change", "download",
                              "upload", "send-media", "background", "mp3info", "crc"}) {
    const std::string text = Cli({command, "--help"}).out;
    for (const char* bare : {"REQUIRED\n", "TEXT\n", "=[]\n"}) {
      EXPECT_EQ(text.find(bare), std::string::npos) << command << ":\n" << text;
    }
  }
  EXPECT_NE(Cli({"--version"}).out.find("tarnwick-cli"), std::string::npos);
  EXPECT_EQ(Cli({}).status, 2);
  const RunResult unknown = Cli({"--port", "sim", "pgm", "x"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'pgm'"), std::string::npos) << unknown.err;
  const RunResult negative = Cli({"--timeout", "-1", "crc", "x"});
  EXPECT_EQ(negative.status, 2);
  EXPECT_LT(negative.err.size(), 200u) << negative.err;
  EXPECT_EQ(Cli({"--speed", "12345", "program-download", "x"}).status, 2);
  EXPECT_EQ(Cli({"--port", "COM9", "program-download", "x"}).status, 2);
  EXPECT_EQ(Cli({"upload", "--mode", "database", "--size", "1", "--output", "x"}).status, 2);

  const RunResult ports = Cli({"ports"});
  EXPECT_EQ(ports.status, 0) << ports.err;
  EXPECT_TRUE(ports.out.starts_with("port\tdevice\tby-id\tvendor\tproduct\tserial\tmanufacturer\tname\n"));
  const std::size_t lines = DescribeSerialDevices().size() + 1;
  EXPECT_EQ(std::count(ports.out.begin(), ports.out.end(), '\n'), lines) << ports.out;
  EXPECT_EQ(std::count(ports.out.begin(), ports.out.end(), '\t'), 7 * lines) << ports.out;
}

TEST_F(CliTest, EachRefusalHasItsTextAndStatusAndAFileThatCannotBeOpenedAsksNothingOfTheBox) {
  const std::string folder = (m_dir / "folder").string();
  fs::create_directory(folder);
  const std::string readOnly = Write("kept.bin", Pattern(100, 4));
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
  const std::string missing = (m_dir / "nope").string();
  const std::string unwritable = (m_dir / "no-such-folder" / "out.bin").string();
  const auto cantOpen = [](const std::string& path) { return "Can't open " + path + " !!!\n"; };
  const auto sdramUpload = [](const std::string& output) {
    return std::vector<std::string>{"upload", "--mode", "sdram", "--size", "16", "--output", output};
  };
  const struct {
    std::vector<std::string> arguments;
    std::string out;
    int status;
  } cases[] = {
      {{"crc", Write("check.txt", Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'})}, "89A1897F\n", 0},
      {{"crc", missing}, cantOpen(missing), 1},
      {{"mp3info", folder}, cantOpen(folder), 1},
      {{"download", "--mode", "sdram", folder}, cantOpen(folder), 1},
      {{"database-upload", folder}, cantOpen(folder), 1},
      {{"database-upload", readOnly}, cantOpen(readOnly), 1},
      {sdramUpload(folder), cantOpen(folder), 1},
      {sdramUpload(readOnly), cantOpen(readOnly), 1},
      {sdramUpload(unwritable), cantOpen(unwritable), 1},
      {{"boot-change", Write("boot.bin", Pattern(70000, 2))}, "Not Boot File!\nDownload Complete!!!\n", 0},
      {{"program-download", Write("bad.gz", Bytes{0x42, 0x43})}, "Invalid File\n", 1},
      {{"upload", "--mode", "flash", "--start", "0x7EFFFF00", "--size", "16", "--output", (m_dir / "f.bin").string()},
       "FLASH : 0x7F00000 ~ 0x7FFFFFFF\n",
       1},
  };
  for (const auto& [command, out, status] : cases) {
    std::vector<std::string> arguments{"--trace", "--port", "sim"};
    arguments.insert(arguments.end(), command.begin(), command.end());
    const RunResult run = Cli(arguments);
    EXPECT_EQ(run.out, out) << command[0];
    EXPECT_EQ(run.status, status) << command[0];
    if (out.starts_with("Can't open")) {
      EXPECT_EQ(run.err.find("handshake"), std::string::npos) << command[0] << ": the box was asked";
    }
  }
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Read(readOnly), Pattern(100, 4));
  EXPECT_EQ(fs::status(readOnly).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(CliTest, AddressesAndSizesAreOnlyWhatAPersonMeans) {
  const std::string output = (m_dir / "out.bin").string();
  const auto upload = [&](const std::string& start, const std::string& size) {
    return Cli({"--trace", "--port", "sim", "upload", "--mode", "flash", "--start", start, "--size", size, "--output",
                output});
  };
  for (const char* start : {"zz", "0x7FE0000O", "0x7FE0 000", "0x", "", "123456789", "-1", "0x+7FE00000"}) {
    const RunResult run = upload(start, "16");
    EXPECT_EQ(run.status, 2) << start;
    EXPECT_TRUE(run.out.empty()) << start;
    EXPECT_EQ(run.err.find("handshake"), std::string::npos) << start;
  }
  for (const char* size : {"4k", "0x100", "+16", "1e3", ""}) {
    EXPECT_EQ(upload("0x7FE00000", size).status, 2) << size;
  }
  EXPECT_EQ(
      Cli({"--port", "sim", "download", "--mode", "flash", "--start", "0x7FE0000O", Write("f.bin", Bytes(16))}).status,
      2);
  const RunResult range = upload("7fe00000", "99999999999");
  EXPECT_EQ(range.out, "Size : 1 ~ 2097152\n");
  EXPECT_EQ(range.status, 1);
  EXPECT_EQ(upload("0X7FE00000", "16").status, 0);
  EXPECT_EQ(Read(output).size(), 16u);
}

TEST_F(CliTest, TheHandshakeGoesOutAtTheIdleSpeedAndTheChosenSpeedIsNegotiated) {
  for (const auto& [openOptions, expected] : {std::pair{std::vector<std::string>{}, B115200},
                                              std::pair{std::vector<std::string>{"--open-speed", "57600"}, B57600}}) {
    PtyPair line;
    std::vector<std::string> arguments{BinPath("tarnwick-cli"), "--trace", "--port",
                                       line.SlavePath(),        "--speed", "9600"};
    arguments.insert(arguments.end(), openOptions.begin(), openOptions.end());
    arguments.insert(arguments.end(), {"program-download", GzipFile(100)});
    BackgroundProcess cli(arguments, BackgroundProcess::FirstLineFrom::Err);
    ASSERT_FALSE(line.Read(1).empty()) << "the handshake";
    termios settings{};
    ASSERT_EQ(tcgetattr(line.Master(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), expected);
    EXPECT_EQ(cli.Stop(SIGINT), 130);
  }
  // Through the box's CMD_SET_SPEED, the transfer itself runs at --speed.
  const auto box = Box({});
  const RunResult run =
      Cli({"--trace", "--speed", "9600", "--port", box->FirstLine(), "program-download", GzipFile(5000)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("CMD_SET_SPEED seq=0 crc=00000000 param=0 "), std::string::npos) << "speed index 0: 9600";
}

TEST_F(CliTest, APortNumberOpensTheDeviceTheSettingsFileAssignsIt) {
  const auto box = Box({});
  fs::create_directories(m_dir / "config" / "Tarnwick");
  std::ofstream(m_dir / "config" / "Tarnwick" / "tarnwick.ini") << "[Ports]\nCOM3=" << box->FirstLine() << "\n";
  const RunResult run = test::Run({"/usr/bin/env", "XDG_CONFIG_HOME=" + (m_dir / "config").string(),
                                   BinPath("tarnwick-cli"), "--port", "COM3", "program-download", GzipFile(3000)});
  EXPECT_EQ(run.out, "Download Complete!!!\n");
  EXPECT_NE(run.err.find("COM 3 -> " + box->FirstLine()), std::string::npos) << run.err;
  EXPECT_EQ(run.status, 0);
}

#ifndef __SANITIZE_ADDRESS__  // the sanitizers' runtime needs descriptors and address space beyond such limits
TEST_F(CliTest, RunningOutOfDescriptorsOrMemoryEndsTheRunWithAMessage) {
  const auto limited = [&](const std::string& limit, const std::string& command) {
    return test::Run({"/bin/sh", "-c",
                      "exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; " + limit + "; exec " + BinPath("tarnwick-cli") +
                          " --port sim " + command});
  };
  const RunResult noPty = limited("ulimit -n 5", "program-download " + GzipFile(100));
  EXPECT_EQ(noPty.out, "Can't Open Comm Port 1 !\n");
  EXPECT_EQ(noPty.status, 1);
  EXPECT_NE(noPty.err.find("Too many open files"), std::string::npos) << noPty.err;

  const fs::path huge = m_dir / "huge.bin";
  std::ofstream(huge).close();
  fs::resize_file(huge, 300u << 20);  // sparse: takes no disk
  const RunResult noMemory = limited("ulimit -v 200000", "download --mode sdram " + huge.string());
  EXPECT_EQ(noMemory.status, 1);
  EXPECT_NE(noMemory.err.find("out of memory"), std::string::npos) << noMemory.err;
}
#endif

TEST_F(CliTest, AFailedOpenSaysWhy) {
  const std::string image = GzipFile(100);
  for (const auto& [port, reason] : {std::pair{"/dev/null", "/dev/null is not a serial device"},
                                     std::pair{"tcp:127.0.0.1:1", "tcp:127.0.0.1:1: connection refused"},
                                     std::pair{"/dev/tarnwick-no-such-tty", " does not exist"}}) {
    const RunResult run = Cli({"--port", port, "program-download", image});
    EXPECT_EQ(run.out, "Can't Open Comm Port 1 !\n") << port;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_EQ(run.status, 1);
  }
}

TEST_F(CliTest, ABusyPortNamesTheProgramHoldingIt) {
  // The simulated box keeps its end of the line open too; only the first run holds the port.
  const auto box = Box({"--silent"});
  BackgroundProcess holder(
      {BinPath("tarnwick-cli"), "--trace", "--port", box->FirstLine(), "program-download", GzipFile(100)},
      BackgroundProcess::FirstLineFrom::Err);
  ASSERT_NE(holder.NextLine().find("handshake"), std::string::npos) << "the port is open";
  const RunResult second = Cli({"--port", box->FirstLine(), "program-download", GzipFile(100)});
  EXPECT_EQ(second.out, "Can't Open Comm Port 1 !\n");
  EXPECT_NE(
      second.err.find("in use by another program, held by pid " + std::to_string(holder.Pid()) + " (tarnwick-cli)"),
      std::string::npos)
      << second.err;
  EXPECT_EQ(second.status, 1);
}

TEST_F(CliTest, CorruptedBlocksSplitRepliesAndRepliesJoinedOverTcpStillComplete) {
  for (const auto& [options, resent] :
       {std::pair{std::vector<std::string>{"--corrupt-every", "5", "--split-replies", "--split-gap-ms", "1"},
                  "DATA CRC ERROR\n"},
        std::pair{std::vector<std::string>{"--tcp", "0", "--join-replies"}, ""}}) {
    const auto box = Box(options);
    const RunResult run = Cli({"--port", box->FirstLine(), "program-download", GzipFile(30000)});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.starts_with(resent) && run.out.ends_with("Download Complete!!!\n")) << run.out;
  }
}

TEST_F(CliTest, OnATerminalEachMessageShowsOnceAndABoxThatAnswersIsNotWaitedFor) {
  const RunResult run = RunOnTerminal({BinPath("tarnwick-cli"), "--port", "sim", "program-download", GzipFile(20000)});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("Waiting"), std::string::npos) << run.out;
  const std::string screen = Screen(run.out);
  const std::string message = "Download Complete!!!";
  const auto first = screen.find(message);
  ASSERT_NE(first, std::string::npos) << screen;
  EXPECT_EQ(screen.find(message, first + 1), std::string::npos) << screen;
}

TEST_F(CliTest, TheRateIsNeverFasterThanTheLine) {
  const RunResult run = Cli({"--sim-paced", "--port", "sim", "program-download", GzipFile(8000)});
  EXPECT_EQ(run.status, 0) << run.err;
  std::istringstream lines(run.err);
  int rates = 0;
  for (std::string line; std::getline(lines, line);) {
    const auto unit = line.find(" KB/s");
    if (unit != std::string::npos && line.rfind("--", unit) != unit - 2) {
      ++rates;
      // 115200 baud carries 11.25 KB/s; the simulated box's pacing is not that exact.
      EXPECT_LE(std::stod(line.substr(line.rfind(' ', unit - 1) + 1)), 2 * 11.25) << line;
    }
  }
  EXPECT_GT(rates, 0) << run.err;
}

TEST_F(CliTest, NakMidUploadLeavesTheOldFileIntact) {
  const auto box = Box({"--nak-after", "3"});
  const Bytes old = Pattern(1000, 1);
  const std::string output = Write("db.bin", old);
  const RunResult up = Cli({"--port", box->FirstLine(), "database-upload", output});
  EXPECT_EQ(up.out, "GET DATA NAK\n");
  EXPECT_EQ(up.status, 1);
  EXPECT_EQ(Read(output), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);  // db.bin and disk/
}

TEST_F(CliTest, UploadsReturnWhatWasDownloadedWritingThroughLinksAndKeepingTheFilesMode) {
  const auto box = Box({});
  const Bytes database = Pattern(329728, 6);
  EXPECT_EQ(Cli({"--port", box->FirstLine(), "database-download", Write("db.bin", database)}).status, 0);
  const Bytes memory = Pattern(5000, 7);
  const RunResult down = Cli({"--port", box->FirstLine(), "download", "--mode", "sdram", "--start", "0x00100000",
                              Write("memory.bin", memory)});
  EXPECT_EQ(down.out, "Download Complete!!!\n");
  fs::create_directory(m_dir / "real");
  const fs::path real = Write("real/box.db", Pattern(10, 1));
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  const std::string link = (m_dir / "link.db").string();
  fs::create_symlink("real/box.db", link);

  const RunResult up = Cli({"--port", box->FirstLine(), "database-upload", link});
  EXPECT_EQ(up.out, "End of receiving\n");
  EXPECT_EQ(up.status, 0);
  EXPECT_EQ(Read(real), database);

  const RunResult back = Cli({"--port", box->FirstLine(), "upload", "--mode", "sdram", "--start", "0x00100000",
                              "--size", "5000", "--output", link});
  EXPECT_EQ(back.status, 0) << back.out << back.err;
  EXPECT_NE(back.err.find("Uploaded 5000 bytes of SDRAM from 0x00100000 into " + link + "\n"), std::string::npos)
      << back.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real), memory);
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "real"), fs::directory_iterator()), 1);
}

TEST_F(CliTest, TheDeviceIsNamedAndASilentBoxIsWaitedForVisiblyThenLeftWithStatusThree) {
  const auto silent = Box({"--silent"});
  const std::string device = silent->FirstLine();
  const std::vector<std::string> arguments{"--port", device, "--timeout", "2", "program-download", GzipFile(100)};
  const RunResult logged = Cli(arguments);
  EXPECT_EQ(logged.status, 3);
  EXPECT_TRUE(logged.out.empty()) << logged.out;
  EXPECT_EQ(logged.err.rfind("COM 1 -> " + device + "\n", 0), 0u) << logged.err;
  EXPECT_NE(logged.err.find("Waiting for the box on " + device + " ...\n"), std::string::npos) << logged.err;

  std::vector<std::string> onTerminal{BinPath("tarnwick-cli")};
  onTerminal.insert(onTerminal.end(), arguments.begin(), arguments.end());
  const RunResult shown = RunOnTerminal(onTerminal);
  EXPECT_EQ(shown.status, 3);
  // An updating line, replaced by the outcome in the end.
  EXPECT_NE(shown.out.find("\r\033[KWaiting for the box on " + device + " (1 s)"), std::string::npos) << shown.out;
}

TEST_F(CliTest, InterruptClosesCleanlyAndRemovesThePartialUpload) {
  const auto box = Box({"--silent"});
  const std::string target = (m_dir / "db.bin").string();
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    BackgroundProcess cli({BinPath("tarnwick-cli"), "--trace", "--port", box->FirstLine(), "database-upload", target},
                          BackgroundProcess::FirstLineFrom::Err);
    EXPECT_NE(cli.NextLine().find("handshake"), std::string::npos);
    EXPECT_EQ(cli.Stop(signal), 130) << signal;
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);  // disk/ only
  }
}

TEST_F(CliTest, AReaderThatGoesAwayFailsTheRunAndLeavesNoTemporaryFile) {
  const auto box = Box({});
  const Bytes old = Pattern(1000, 2);
  const std::string target = Write("db.bin", old);
  // As in "tarnwick-cli --trace ... 2>&1 | head -2" once head has read its lines.
  EXPECT_EQ(
      RunWithoutReader({BinPath("tarnwick-cli"), "--trace", "--port", box->FirstLine(), "database-upload", target}), 1);
  EXPECT_EQ(Read(target), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);  // db.bin and disk/
}

TEST_F(CliTest, ALineThatHangsUpEndsTheRun) {
  // A paced box, so the transfer is still under way when the box goes.
  auto box = std::make_unique<BackgroundProcess>(std::vector<std::string>{BinPath("tarnwick-boxsim")});
  BackgroundProcess cli(
      {BinPath("tarnwick-cli"), "--trace", "--port", box->FirstLine(), "program-download", GzipFile(100000)},
      BackgroundProcess::FirstLineFrom::Err);
  EXPECT_NE(cli.NextLine().find("handshake"), std::string::npos);
  box.reset();
  EXPECT_EQ(cli.Wait(), 1);
}

TEST_F(CliTest, Mp3InfoJsonHasTheContractKeys) {
  const RunResult run = Cli({"mp3info", "--json", Write("song.mp3", Mp3(5, 1))});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json info = nlohmann::json::parse(run.out);
  for (const char* key :
       {"tag_kind", "tag_size", "title", "artist", "album", "year", "comment", "genre", "track", "version", "layer",
        "bitrate", "sample_rate", "channel_mode", "frames", "vbr", "vbr_scale", "file_size", "duration"}) {
    EXPECT_TRUE(info.contains(key)) << key;
  }
  EXPECT_EQ(info["title"], "Tone");
  EXPECT_EQ(info["tag_kind"], 1);
  EXPECT_EQ(info["vbr"], 0);
  EXPECT_TRUE(info["vbr_scale"].is_null()) << "a CBR file has no VBR scale";
  EXPECT_EQ(info["file_size"], 5 * 417 + 128);

  const std::string noise = Write("noise.mp3", Bytes(3000, 0x20));
  for (const bool json : {false, true}) {
    const RunResult none = json ? Cli({"mp3info", "--json", noise}) : Cli({"mp3info", noise});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find(noise + ": no MPEG audio frame found"), std::string::npos) << none.err;
    EXPECT_FALSE(none.out.empty()) << "the numbers still stand";
  }
}

}  // namespace
}  // namespace tw::test
