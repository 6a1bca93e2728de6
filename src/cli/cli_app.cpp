#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <array>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>

#include "cli/console_host.h"
#include "cli/mp3_info_command.h"
#include "cli/option_checks.h"
#include "cli/transfer_runner.h"
#include "link/loader_crc.h"
#include "link/wire_format.h"
#include "session/session_texts.h"
#include "session/upload_file.h"

#ifndef TARNWICK_VERSION
#define TARNWICK_VERSION "1.0.0"
#endif

namespace tw {

namespace {

constexpr std::size_t kCrcReadSize = 64 << 10;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

bool EndsWithMp3(const std::string& path) { return path.size() >= 3 && Upper(path.substr(path.size() - 3)) == "MP3"; }

std::optional<int> ModeIndexByName(const std::string& name) {
  const std::string upper = Upper(name);
  for (std::size_t i = 0; i < kModeNames.size(); ++i) {
    if (kModeNames[i] == upper) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::string DefaultStartText(Mode mode) {
  switch (mode) {
    case Mode::Sdram:
      return "0x00400000";
    case Mode::Flash:
      return "0x7FE00000";
    case Mode::Eeprom:
      return "0x0000";
    default:
      return "";
  }
}

int Usage(const std::string& text) {
  std::fprintf(stderr, "tarnwick-cli: %s\nRun 'tarnwick-cli --help' for the usage.\n", text.c_str());
  return kExitUsage;
}

int CrcCommand(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::printf("%s\n", text::CantOpen(path).c_str());
    return kExitFailure;
  }
  std::vector<std::uint8_t> buffer(kCrcReadSize);
  std::uint32_t crc = 0;
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    crc = LoaderCrc(buffer.data(), got, crc);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    std::printf("%s\n", text::CantOpen(path).c_str());
    return kExitFailure;
  }
  std::printf("%08X\n", crc);
  return kExitSuccess;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  // A folder opens but throws on the first read.
  try {
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

struct Arguments {
  std::string port = "1";
  int speed = 115200;
  int openSpeed = 115200;
  int timeout = 30;
  bool trace = false;
  bool simPaced = false;
  std::string file;
  std::string mode;
  std::string start;
  bool startGiven = false;
  std::string size;
  std::string output;
  std::vector<std::string> files;
  bool json = false;
};

std::optional<int> SpeedIndexFor(int baud) {
  const auto it = std::find(kSpeedTable.begin(), kSpeedTable.end(), static_cast<std::uint32_t>(baud));
  if (it == kSpeedTable.end()) {
    return std::nullopt;
  }
  return static_cast<int>(it - kSpeedTable.begin());
}

constexpr const char* kDescription =
    "Tarnwick loader: flashes program images, databases and boot images into a set-top box through its\n"
    "resident loader, pulls its database and memory windows back, and sends MP3 files and photos.\n\n"
    "PORT: sim (the embedded simulated box), 1..5 or COM1..COM5 (the n-th serial device found:\n"
    "ttyUSB*, ttyACM*, then ttyS*), a device path /dev/..., or tcp:HOST:PORT (a raw TCP serial server).\n"
    "BAUD: 9600 19200 38400 57600 115200, the speed negotiated with the box.\n\n"
    "Every text the dialog would show in a message box goes to stdout; progress goes to stderr.\n"
    "Exit status: 0 success, 1 failed or refused, 2 usage error, 3 no reply in time.";

const CLI::Validator kHexAddress(
    [](const std::string& text) {
      return IsHexAddress(text) ? std::string() : "not an address (at most 8 hex digits, 0x optional): " + text;
    },
    "HEX");
const CLI::Validator kDecimalCount(
    [](const std::string& text) { return IsDecimalCount(text) ? std::string() : "not a decimal count: " + text; },
    "DEC");

class CliParser {
 public:
  CliParser() : m_app(kDescription, "tarnwick-cli") { Build(); }

  int Parse(int argc, char** argv) {
    try {
      m_app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
      return m_app.exit(e) == 0 ? -1 : kExitUsage;
    } catch (const CLI::CallForAllHelp& e) {
      return m_app.exit(e) == 0 ? -1 : kExitUsage;
    } catch (const CLI::CallForVersion& e) {
      m_app.exit(e);
      return -1;
    } catch (const CLI::ParseError& e) {
      m_app.exit(e);
      return kExitUsage;
    }
    return kExitSuccess;
  }

  int Run() {
    for (CLI::App* command : m_app.get_subcommands()) {
      return Dispatch(command->get_name());
    }
    return Usage("a command is required");
  }

 private:
  void Build() {
    m_app.set_version_flag("--version", std::string("tarnwick-cli ") + TARNWICK_VERSION);
    m_app.require_subcommand(1);
    m_app.option_defaults()->always_capture_default();
    m_app.add_option("--port", m_args.port, "sim, 1..5, COM1..COM5, /dev/..., tcp:HOST:PORT")->default_str("1");
    m_app.add_option("--speed", m_args.speed, "BAUD, the speed negotiated with the box")->default_str("115200");
    m_app.add_option("--open-speed", m_args.openSpeed, "BAUD the box idles at: the port opens and shakes hands at it")
        ->default_str("115200");
    m_app.add_option("--timeout", m_args.timeout, "seconds without a byte from the box before exit 3; 0 = never")
        ->check(CLI::NonNegativeNumber);
    m_app.add_flag("--trace", m_args.trace, "every frame both ways, decoded, on stderr");
    m_app.add_flag("--sim-paced", m_args.simPaced, "pace the embedded simulated box at the line speed");

    FileCommand("program-download", "the \"Program Download\" operation (mode GZIP_PROGRAM, download)");
    FileCommand("database-download", "mode DATABASE, download");
    FileCommand("database-upload", "mode DATABASE, upload into FILE");
    FileCommand("boot-change", "mode BOOT, download");

    CLI::App* download = m_app.add_subcommand("download", "any download mode by name");
    download
        ->add_option("--mode", m_args.mode,
                     "PROGRAM DATABASE SDRAM FLASH EEPROM MP3 PHOTO BACKGROUND BOOT GZIP_PROGRAM")
        ->required();
    download->add_option("--start", m_args.start, "start address, 1 to 8 hex digits, 0x optional")->check(kHexAddress);
    download->add_option("FILE", m_args.file)->required();

    CLI::App* upload = m_app.add_subcommand("upload", "memory upload; FILE receives exactly the uploaded bytes");
    upload->add_option("--mode", m_args.mode, "sdram|flash|eeprom")->required();
    upload->add_option("--start", m_args.start, "start address, 1 to 8 hex digits, 0x optional")->check(kHexAddress);
    upload->add_option("--size", m_args.size, "byte count, decimal digits (1 ~ 2097152)")
        ->required()
        ->check(kDecimalCount);
    upload->add_option("--output", m_args.output, "FILE")->required();

    CLI::App* media = m_app.add_subcommand("send-media", "the MP3 and photo batch (*.mp3 is an MP3, else a photo)");
    media->add_option("FILE", m_args.files)->required();
    CLI::App* background = m_app.add_subcommand("background", "the background picture download");
    background->add_option("PHOTO", m_args.file)->required();

    CLI::App* mp3info = m_app.add_subcommand("mp3info", "the MP3 inspection results");
    mp3info->add_flag("--json", m_args.json, "one JSON object");
    mp3info->add_option("FILE", m_args.file)->required();

    CLI::App* crc = m_app.add_subcommand("crc", "the loader CRC of FILE as 8 upper-case hex digits");
    crc->add_option("FILE", m_args.file)->required();

    for (CLI::App* command : {download, upload}) {
      command->get_option("--start")->each([this](const std::string&) { m_args.startGiven = true; });
    }
  }

  void FileCommand(const char* name, const char* help) {
    m_app.add_subcommand(name, help)->add_option("FILE", m_args.file)->required();
  }

  int Dispatch(const std::string& command) {
    if (command == "crc") {
      return CrcCommand(m_args.file);
    }
    if (command == "mp3info") {
      return Mp3InfoCommand(m_args.file, m_args.json);
    }
    const std::optional<ConsoleJob> job = MakeJob(command);
    if (!job) {
      return m_usageStatus;
    }
    RunOptions options;
    options.port = m_portSpec;
    options.openSpeedIndex = m_openSpeedIndex;
    options.trace = m_args.trace;
    options.simPaced = m_args.simPaced;
    return RunTransfer(*job, options);
  }

  std::optional<ConsoleJob> Refuse(const std::string& text, int status = kExitUsage) {
    if (status == kExitUsage) {
      Usage(text);
    } else {
      std::printf("%s\n", text.c_str());
    }
    m_usageStatus = status;
    return std::nullopt;
  }

  std::optional<ConsoleJob> MakeJob(const std::string& command) {
    const std::optional<PortSpec> port = ParsePortSpec(m_args.port);
    if (!port) {
      return Refuse("--port: not a port: " + m_args.port);
    }
    const std::optional<int> speed = SpeedIndexFor(m_args.speed);
    const std::optional<int> openSpeed = SpeedIndexFor(m_args.openSpeed);
    if (!speed || !openSpeed) {
      return Refuse(std::string(speed ? "--open-speed" : "--speed") + ": one of 9600 19200 38400 57600 115200");
    }
    m_portSpec = *port;
    m_openSpeedIndex = *openSpeed;
    ConsoleJob job;
    job.portIndex = port->portIndex;
    job.speedIndex = *speed;
    job.idleTimeoutSeconds = m_args.timeout;
    job.openFile = m_args.file;
    return FillJob(command, job);
  }

  std::optional<ConsoleJob> FillJob(const std::string& command, ConsoleJob& job) {
    if (command == "program-download") {
      job.modeIndex = static_cast<int>(Mode::GzipProgram);
    } else if (command == "database-download") {
      job.modeIndex = static_cast<int>(Mode::Database);
    } else if (command == "database-upload") {
      job.modeIndex = static_cast<int>(Mode::Database);
      job.download = false;
      job.openFile.reset();
      job.saveFile = m_args.file;
    } else if (command == "boot-change") {
      job.modeIndex = static_cast<int>(Mode::Boot);
    } else if (command == "download") {
      return FillDownload(job);
    } else if (command == "upload") {
      return FillUpload(job);
    } else if (command == "send-media") {
      job.modeIndex = static_cast<int>(Mode::Mp3);
      for (const std::string& path : m_args.files) {
        job.selected.push_back({path, std::filesystem::path(path).filename().string(), !EndsWithMp3(path)});
      }
    } else if (command == "background") {
      job.modeIndex = static_cast<int>(Mode::Background);
    }
    return job;
  }

  std::optional<ConsoleJob> FillDownload(ConsoleJob& job) {
    const std::optional<int> mode = ModeIndexByName(m_args.mode);
    if (!mode) {
      return Refuse("--mode: not a mode: " + m_args.mode);
    }
    job.modeIndex = *mode;
    job.startText = m_args.startGiven ? m_args.start : DefaultStartText(static_cast<Mode>(*mode));
    const Mode chosen = static_cast<Mode>(*mode);
    if (chosen == Mode::Sdram || chosen == Mode::Flash || chosen == Mode::Eeprom) {
      std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(m_args.file);
      if (!bytes) {
        return Refuse(text::CantOpen(m_args.file), kExitFailure);
      }
      job.viewerData = std::move(*bytes);
    } else if (chosen == Mode::Mp3 || chosen == Mode::Photo) {
      job.selected.push_back(
          {m_args.file, std::filesystem::path(m_args.file).filename().string(), chosen == Mode::Photo});
    }
    return job;
  }

  std::optional<ConsoleJob> FillUpload(ConsoleJob& job) {
    const std::optional<int> mode = ModeIndexByName(m_args.mode);
    const Mode chosen = mode ? static_cast<Mode>(*mode) : Mode::Program;
    if (chosen != Mode::Sdram && chosen != Mode::Flash && chosen != Mode::Eeprom) {
      return Refuse("--mode: sdram, flash or eeprom");
    }
    job.modeIndex = *mode;
    job.download = false;
    job.startText = m_args.startGiven ? m_args.start : DefaultStartText(chosen);
    job.sizeText = m_args.size;
    // Find out before the box is asked that the bytes can be kept.
    UploadFile probe;
    if (!probe.Create(m_args.output)) {
      return Refuse(text::CantOpen(m_args.output), kExitFailure);
    }
    job.uploadOutput = m_args.output;
    job.openFile.reset();
    return job;
  }

  CLI::App m_app;
  Arguments m_args;
  PortSpec m_portSpec;
  int m_openSpeedIndex = kFastestSpeedIndex;
  int m_usageStatus = kExitUsage;
};

}  // namespace

int RunCli(int argc, char** argv) {
  // A reader that goes away (| head) is a write error that ends the run, not a signal that kills it
  // before its temporary files are removed.
  std::signal(SIGPIPE, SIG_IGN);
  CliParser parser;
  const int parsed = parser.Parse(argc, argv);
  if (parsed == -1) {
    return kExitSuccess;
  }
  if (parsed != kExitSuccess) {
    return parsed;
  }
  int status = kExitFailure;
  // The last line of defence: whatever was unwound has removed its temporary files by now.
  try {
    status = parser.Run();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tarnwick-cli: out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tarnwick-cli: %s\n", error.what());
  }
  return status == kExitSuccess && std::fflush(stdout) != 0 ? kExitFailure : status;
}

}  // namespace tw
