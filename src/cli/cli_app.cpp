#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>

#include "cli/console_host.h"
#include "cli/file_digest.h"
#include "cli/mp3_info_command.h"
#include "cli/option_checks.h"
#include "cli/port_batch.h"
#include "cli/ports_command.h"
#include "cli/run_log.h"
#include "link/wire_format.h"
#include "media/mp3_info.h"
#include "session/session_texts.h"
#include "session/upload_file.h"
#include "session/upload_receiver.h"

#ifndef TARNWICK_VERSION
#define TARNWICK_VERSION "1.0.0"
#endif

namespace tw {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::optional<Mode> ModeByName(const std::string& name) {
  const std::string upper = Upper(name);
  for (std::size_t i = 0; i < kModeNames.size(); ++i) {
    if (kModeNames[i] == upper) {
      return static_cast<Mode>(i);
    }
  }
  return std::nullopt;
}

int Usage(const std::string& text) {
  std::fprintf(stderr, "tarnwick-cli: %s\nRun 'tarnwick-cli --help' for the usage.\n", text.c_str());
  return kExitUsage;
}

int CrcCommand(const std::string& path) {
  const std::optional<FileDigest> digest = DigestFile(path);
  if (!digest) {
    std::printf("%s\n", text::CantOpen(path).c_str());
    return kExitFailure;
  }
  std::printf("%08X\n", digest->crc);
  return kExitSuccess;
}

// Why a job's bytes cannot be read back for --verify; empty when they can.
std::string VerifyRefusal(const ConsoleJob& job) {
  if (!job.download) {
    return "only a download can be verified";
  }
  switch (job.mode) {
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      return job.viewerData.size() > kUploadBufferSize
                 ? "at most " + std::to_string(kUploadBufferSize) + " bytes can be read back"
                 : "";
    case Mode::Database:
      return "";
    case Mode::Program:
    case Mode::GzipProgram:
    case Mode::Boot:
      return "the box cannot send program or boot images back";
    default:
      return "the box cannot send MP3 files or photos back";
  }
}

struct Arguments {
  std::vector<std::string> ports{"1"};
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
  bool verify = false;
  std::string progress = "text";
  std::string log;
};

constexpr const char* kDescription =
    "Tarnwick loader: flashes program images, databases and boot images into a set-top box through its\n"
    "resident loader, pulls its database and memory windows back, and sends MP3 files and photos.\n\n"
    "PORT: sim (the embedded simulated box), 1..5 or COM1..COM5 (the n-th serial device found:\n"
    "ttyUSB*, ttyACM*, then ttyS*; see the ports command), a device path /dev/..., or tcp:HOST:PORT\n"
    "(a raw TCP serial server).\n"
    "BAUD: 9600 19200 38400 57600 115200. The port opens at the box's idle speed (--open-speed) and\n"
    "the transfer runs at --speed, negotiated with the box.\n\n"
    "Every text the dialog would show in a message box goes to stdout; progress goes to stderr.\n"
    "Exit status: 0 success, 1 failed or refused, 2 usage error, 3 no reply in time,\n"
    "130 interrupted (Ctrl+C, SIGTERM or SIGHUP; a partial upload's temporary file is removed).\n"
    "Options may stand before or after the command.";

// Checks a value as typed, before any conversion, with a message that names what was expected.
CLI::Validator TextCheck(bool (*accepts)(const std::string&), const std::string& expected) {
  return CLI::Validator(
      [accepts, expected](const std::string& text) {
        return accepts(text) ? std::string() : "not " + expected + ": " + text;
      },
      std::string());
}

const CLI::Validator kHexAddress = TextCheck(IsHexAddress, "an address (at most 8 hex digits, 0x optional)");
const CLI::Validator kDecimalCount = TextCheck(IsDecimalCount, "a decimal count");
const CLI::Validator kSeconds = TextCheck(IsDecimalCount, "a number of seconds (0 or more)");

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
      if (const std::optional<std::string> command = UnknownCommand()) {
        return Usage("unknown command '" + *command + "'");
      }
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
  // A word where the command belongs that names none.
  [[nodiscard]] std::optional<std::string> UnknownCommand() const {
    if (!m_app.get_subcommands().empty()) {
      return std::nullopt;
    }
    for (const std::string& word : m_app.remaining()) {
      if (!word.starts_with("-")) {
        return word;
      }
    }
    return std::nullopt;
  }

  void Build() {
    m_app.set_version_flag("--version", std::string("tarnwick-cli ") + TARNWICK_VERSION);
    m_app.require_subcommand(1);
    m_app.fallthrough();  // the commands take the global options too
    m_app.option_defaults()->always_capture_default();
    m_app
        .add_option("--port", m_args.ports,
                    "sim, 1..5, COM1..COM5, /dev/..., tcp:HOST:PORT; repeat it or give a comma list to run on\n"
                    "several ports at once")
        ->type_name("PORT")
        ->allow_extra_args(false)  // a word after the port is the command, not a port
        ->delimiter(',')
        ->default_str("1");
    m_app.add_option("--speed", m_args.speed, "the speed of the transfer, negotiated with the box")
        ->type_name("BAUD")
        ->default_str("115200");
    m_app
        .add_option("--open-speed", m_args.openSpeed,
                    "the speed the box idles at: the port opens and shakes hands at it")
        ->type_name("BAUD")
        ->default_str("115200");
    m_app.add_option("--timeout", m_args.timeout, "seconds without a byte from the box before exit 3; 0 = never")
        ->type_name("SECONDS")
        ->check(kSeconds);
    m_app.add_flag("--trace", m_args.trace, "every frame both ways, decoded, on stderr");
    m_app.add_flag("--sim-paced", m_args.simPaced, "pace the embedded simulated box at the line speed");
    m_app.add_flag("--verify", m_args.verify,
                   "after a download of SDRAM, FLASH, EEPROM or DATABASE, read the bytes back and compare");
    m_app.add_option("--progress", m_args.progress, "text, or json: one JSON object a line on stderr per event")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"text", "json"}))
        ->default_str("text");
    m_app.add_option("--log", m_args.log, "append one CSV line per port and run to FILE (a header when new)")
        ->type_name("FILE");

    FileCommand("program-download", "the \"Program Download\" operation (mode GZIP_PROGRAM, download)",
                "the gzip program image to flash");
    FileCommand("database-download", "mode DATABASE, download", "the database image to send");
    FileCommand("database-upload", "mode DATABASE, upload into FILE",
                "receives the box's database; an existing file is replaced only when all has come");
    FileCommand("boot-change", "mode BOOT, download", "the boot image to send");

    CLI::App* download = m_app.add_subcommand("download", "any download mode by name");
    download
        ->add_option("--mode", m_args.mode,
                     "PROGRAM DATABASE SDRAM FLASH EEPROM MP3 PHOTO BACKGROUND BOOT GZIP_PROGRAM")
        ->type_name("MODE")
        ->required();
    download->add_option("--start", m_args.start, "start address, 1 to 8 hex digits, 0x optional")
        ->type_name("HEX")
        ->check(kHexAddress);
    download
        ->add_option("FILE", m_args.file,
                     "the image; for SDRAM, FLASH and EEPROM the bytes written from the start address")
        ->required();

    CLI::App* upload = m_app.add_subcommand("upload", "memory upload; FILE receives exactly the uploaded bytes");
    upload->add_option("--mode", m_args.mode, "sdram, flash or eeprom")->type_name("MODE")->required();
    upload->add_option("--start", m_args.start, "start address, 1 to 8 hex digits, 0x optional")
        ->type_name("HEX")
        ->check(kHexAddress);
    upload->add_option("--size", m_args.size, "byte count, decimal digits (1 ~ 2097152)")
        ->type_name("DEC")
        ->required()
        ->check(kDecimalCount);
    upload
        ->add_option("--output", m_args.output,
                     "receives exactly the uploaded bytes; an existing file is replaced only when all has come")
        ->type_name("FILE")
        ->required();

    CLI::App* media = m_app.add_subcommand("send-media", "the MP3 and photo batch (*.mp3 is an MP3, else a photo)");
    media->add_option("FILE", m_args.files, "MP3 files and photos (JPEG, BMP, GIF, PNG), sent in this order")
        ->required();
    CLI::App* background = m_app.add_subcommand("background", "the background picture download");
    background->add_option("PHOTO", m_args.file, "the photo (JPEG, BMP, GIF, PNG) to convert and send")->required();

    CLI::App* mp3info = m_app.add_subcommand("mp3info", "the MP3 inspection results");
    mp3info->add_flag("--json", m_args.json, "one JSON object");
    mp3info->add_option("FILE", m_args.file, "the MP3 file to inspect")->required();

    m_app.add_subcommand("ports",
                         "the serial devices found: port number (1..5, - for none), device, /dev/serial/by-id name,\n"
                         "USB vendor and product ids, serial number, manufacturer and name; tab-separated, - where\n"
                         "nothing is known, after a header line");
    CLI::App* crc = m_app.add_subcommand("crc", "the loader CRC of FILE as 8 upper-case hex digits");
    crc->add_option("FILE", m_args.file, "any file")->required();

    for (CLI::App* command : {download, upload}) {
      command->get_option("--start")->each([this](const std::string&) { m_args.startGiven = true; });
    }
  }

  void FileCommand(const char* name, const char* help, const char* fileHelp) {
    m_app.add_subcommand(name, help)->add_option("FILE", m_args.file, fileHelp)->required();
  }

  int Dispatch(const std::string& command) {
    if (command == "crc") {
      return CrcCommand(m_args.file);
    }
    if (command == "ports") {
      return PortsCommand();
    }
    if (command == "mp3info") {
      return Mp3InfoCommand(m_args.file, m_args.json);
    }
    const std::optional<ConsoleJob> job = MakeJob(command);
    if (!job) {
      return m_usageStatus;
    }
    if (const std::optional<int> refused = CheckRunOptions(*job)) {
      return *refused;
    }
    std::vector<PortJob> jobs;
    for (std::size_t i = 0; i < m_portSpecs.size(); ++i) {
      PortJob port{*job, {}};
      port.job.port = m_portSpecs[i].port;
      port.options.port = m_portSpecs[i];
      port.options.portText = PortLabel(i);
      port.options.openSpeed = m_openSpeed;
      port.options.trace = m_args.trace;
      port.options.simPaced = m_args.simPaced;
      port.options.verify = m_args.verify;
      port.options.json = m_args.progress == "json";
      port.options.subject = Subject(command, *job);
      jobs.push_back(std::move(port));
    }
    return RunPorts(std::move(jobs), m_args.log.empty() ? std::nullopt : std::optional<std::string>(m_args.log));
  }

  // The port as given; a repeated one (sim) numbered by its place among its namesakes.
  [[nodiscard]] std::string PortLabel(std::size_t index) const {
    const std::string& text = m_args.ports[index];
    if (std::count(m_args.ports.begin(), m_args.ports.end(), text) < 2) {
      return text;
    }
    const auto before = std::count(m_args.ports.begin(), m_args.ports.begin() + static_cast<long>(index), text);
    return text + "#" + std::to_string(before + 1);
  }

  // What the first JSON line and the log name: the file sent or received and its size.
  [[nodiscard]] RunSubject Subject(const std::string& command, const ConsoleJob& job) const {
    RunSubject subject{command, job.uploadOutput.value_or(job.saveFile.value_or(m_args.file)), 0};
    if (command == "send-media") {
      subject.file.clear();
      for (const std::string& path : m_args.files) {
        subject.file += (subject.file.empty() ? "" : " ") + path;
      }
    }
    if (!job.download) {
      // Digits only by now; one out of range is the session's to refuse, and counts 0 here.
      std::from_chars(job.sizeText.data(), job.sizeText.data() + job.sizeText.size(), subject.size);
    } else if (const std::optional<FileDigest> digest = DigestFile(subject.file)) {
      subject.size = digest->size;
    }
    return subject;
  }

  // The options that concern the run as a whole; a status when they refuse it.
  std::optional<int> CheckRunOptions(const ConsoleJob& job) {
    const std::string refusal = VerifyRefusal(job);
    if (m_args.verify && !refusal.empty()) {
      return Usage("--verify: " + refusal);
    }
    if (m_portSpecs.size() > 1 && !job.download) {
      return Usage("an upload writes one file: give one --port");
    }
    if (!m_args.log.empty() && !RunLog(m_args.log).Check()) {
      return kExitFailure;
    }
    return std::nullopt;
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
    for (std::size_t i = 0; i < m_args.ports.size(); ++i) {
      const std::string& text = m_args.ports[i];
      const std::optional<PortSpec> port = ParsePortSpec(text);
      if (!port) {
        return Refuse("--port: not a port: " + text);
      }
      if (text != "sim" && std::find(m_args.ports.begin(), m_args.ports.begin() + static_cast<long>(i), text) !=
                               m_args.ports.begin() + static_cast<long>(i)) {
        return Refuse("--port: " + text + " is given twice");
      }
      m_portSpecs.push_back(*port);
    }
    const std::optional<LineSpeed> speed = SpeedForBaud(static_cast<std::uint32_t>(m_args.speed));
    const std::optional<LineSpeed> openSpeed = SpeedForBaud(static_cast<std::uint32_t>(m_args.openSpeed));
    if (!speed || !openSpeed) {
      return Refuse(std::string(speed ? "--open-speed" : "--speed") + ": one of 9600 19200 38400 57600 115200");
    }
    m_openSpeed = *openSpeed;
    ConsoleJob job;
    job.speed = *speed;
    job.idleTimeoutSeconds = m_args.timeout;
    job.openFile = m_args.file;
    return FillJob(command, job);
  }

  std::optional<ConsoleJob> FillJob(const std::string& command, ConsoleJob& job) {
    if (command == "program-download") {
      job.mode = Mode::GzipProgram;
    } else if (command == "database-download") {
      job.mode = Mode::Database;
    } else if (command == "database-upload") {
      job.mode = Mode::Database;
      job.download = false;
      job.openFile.reset();
      job.saveFile = m_args.file;
    } else if (command == "boot-change") {
      job.mode = Mode::Boot;
    } else if (command == "download") {
      return FillDownload(job);
    } else if (command == "upload") {
      return FillUpload(job);
    } else if (command == "send-media") {
      job.mode = Mode::Mp3;
      for (const std::string& path : m_args.files) {
        job.selected.push_back({path, std::filesystem::path(path).filename().string(), !IsMp3Name(path)});
      }
    } else if (command == "background") {
      job.mode = Mode::Background;
    }
    return job;
  }

  std::optional<ConsoleJob> FillDownload(ConsoleJob& job) {
    const std::optional<Mode> mode = ModeByName(m_args.mode);
    if (!mode) {
      return Refuse("--mode: not a mode: " + m_args.mode);
    }
    const Mode chosen = *mode;
    job.mode = chosen;
    job.startText = StartText(chosen);
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
    const Mode chosen = ModeByName(m_args.mode).value_or(Mode::Program);
    if (chosen != Mode::Sdram && chosen != Mode::Flash && chosen != Mode::Eeprom) {
      return Refuse("--mode: sdram, flash or eeprom");
    }
    job.mode = chosen;
    job.download = false;
    job.startText = StartText(chosen);
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

  // --start as given, else the dialog's default for the mode.
  [[nodiscard]] std::string StartText(Mode mode) const {
    return m_args.startGiven ? m_args.start : std::string(DefaultStartText(mode).value_or(""));
  }

  CLI::App m_app;
  Arguments m_args;
  std::vector<PortSpec> m_portSpecs;
  LineSpeed m_openSpeed = kFastestSpeed;
  int m_usageStatus = kExitUsage;
};

}  // namespace

int RunCli(int argc, char** argv) {
  // A reader that goes away (| head) is a write error that ends the run, not a signal that kills it
  // before its temporary files are removed. Windows has no such signal.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
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
