// tarnwick-boxsim: the set-top box's resident loader, simulated on a pseudo-terminal, a TCP port or a
// real serial device.

#include <signal.h>
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "boxsim/box_runner.h"
#include "boxsim/device_endpoint.h"
#include "boxsim/tcp_endpoint.h"
#ifndef _WIN32
#include "boxsim/pty_endpoint.h"
#endif

namespace {

constexpr const char* kBehaviour = R"(
How the simulated box behaves where the PC side leaves it open:
  - It looks for the 7-byte handshake anywhere in the stream and ignores what comes before. A handshake
    at any point between frames starts the conversation again (a half-received MP3 or photo is dropped).
  - Between frames it skips stray bytes until a 0x47 followed by a known command code; a frame that does
    not fit the moment (say CMD_SPEED_CONFIRM before CMD_SET_SPEED) is ignored.
  - CMD_SET_SPEED with a speed index other than 0..4 gets RPL_COMM_ERROR.
  - After CMD_SPEED_CONFIRM it changes speed, waits the settle time while the PC reopens its port, then
    sends RPL_GET_REQUEST. After each complete MP3 or photo it returns to the idle speed, as the PC does.
  - A request whose CRC fails gets RPL_HEADER_CRC_ERROR; the box then waits for the request again.
  - Downloads it cannot take get RPL_BAD_HEADER: an unknown target, a window outside SDRAM, FLASH,
    EEPROM or the database, a boot image that is not 65536 bytes, a program larger than its 16 MiB
    slot, a media transfer shorter than its 1024-byte header record, or a record whose content type or
    length does not match the request. A program image whose model field matches no --model gets
    RPL_INVALID_SW (without --model any model is accepted).
  - Program and boot images go to their own slots (program slot and boot area, from 0), whatever address
    the request names. SDRAM, FLASH, EEPROM and the database are stored at the request's address.
  - Every data block's CRC is checked: RPL_DATA_CRC_ERROR, then RPL_BLOCK_RESEND. File and media blocks
    (PROGRAM, DATABASE, BOOT, GZIP_PROGRAM, MP3, PHOTO, BACKGROUND) must carry the PC's numbering: new
    blocks counter % 255, a resend the counter itself. A block out of step means one was lost, which a
    resend of the last block cannot mend, so the box answers RPL_BLOCK_FAILED and ends the transfer.
    Memory-window blocks (SDRAM, FLASH, EEPROM) always carry 0 and are not checked.
    The PC never resends a memory-window block (it sends the next one), so --corrupt-every in an SDRAM,
    FLASH or EEPROM download leaves that transfer one block short, as it would with a real box.
  - Flash targets (PROGRAM, GZIP_PROGRAM, DATABASE, BOOT, FLASH) report RPL_FLASH_WRITING with the block
    number (modulo 256) before the RPL_BLOCK_OK of every Nth block (--flash-report-every).
  - The last block is answered RPL_BLOCK_OK, then RPL_COMPLETE once the data are stored (with
    --complete-only: RPL_COMPLETE alone).
  - Uploads serve SDRAM (32 MiB from 0), FLASH (0x7F000000..0x7FFFFFFF, erased 0xFF), EEPROM (16 KiB from
    0) and the database (329728 bytes at 0xFFFA0000): RPL_UPLOAD_DATA, up to 1024 bytes, then nothing
    until CMD_UPLOAD_ACK. Any other target, an empty window, or one not wholly inside its memory gets
    RPL_GET_DATA_NAK.
  - MP3 files go to <disk>/mp3/<name>, photos to <disk>/photo/<name>, the background picture to
    <disk>/background.slot; names lose folder separators, ':' and control characters. A file of the same
    name is replaced. MP3 and photo files share the disk size; the background slot is not counted.
    RPL_NO_HDD_SPACE and RPL_PHOTO_ERROR answer the header record and end the transfer.
  - By default every byte takes its wire time (10 bits) at the negotiated speed in both directions; on a
    --device the UART takes it instead.
  - With --state the memories are saved after every completed download and loaded at start.
  - On a TCP port the PC reconnects when it changes speed; the box keeps its conversation and holds what
    it sends while no PC is connected, handing it to the next connection.
)";

tw::StopSignal* g_stop = nullptr;

extern "C" void OnSignal(int) {
  if (g_stop != nullptr) {
    g_stop->Raise();
  }
}

std::optional<std::uint8_t> ParseReplyCode(const std::string& text) {
  for (int code = 1; code < 256; ++code) {
    if (tw::ReplyName(static_cast<std::uint8_t>(code)) == text) {
      return static_cast<std::uint8_t>(code);
    }
  }
  try {
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used, 0);
    if (used == text.size() && value >= 1 && value <= 255) {
      return static_cast<std::uint8_t>(value);
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// CODE@BLOCK[:PARAM], CODE a reply name (RPL_COMM_ERROR) or number (0x06).
std::optional<tw::InjectedReply> ParseInjection(const std::string& text) {
  const auto at = text.find('@');
  if (at == std::string::npos) {
    return std::nullopt;
  }
  const auto colon = text.find(':', at);
  const auto code = ParseReplyCode(text.substr(0, at));
  try {
    std::size_t used = 0;
    const std::string block = text.substr(at + 1, colon == std::string::npos ? std::string::npos : colon - at - 1);
    const unsigned long number = std::stoul(block, &used, 10);
    unsigned long parameter = 0;
    std::size_t parameterUsed = 0;
    const std::string parameterText = colon == std::string::npos ? "0" : text.substr(colon + 1);
    parameter = std::stoul(parameterText, &parameterUsed, 0);
    if (!code || used != block.size() || number < 1 || parameterUsed != parameterText.size() || parameter > 255) {
      return std::nullopt;
    }
    return tw::InjectedReply{static_cast<unsigned>(number), *code, static_cast<std::uint8_t>(parameter)};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::unique_ptr<tw::BoxEndpoint> OpenEndpoint(const std::optional<std::uint16_t>& tcpPort, const std::string& host,
                                              const std::string& device, std::uint32_t baud) {
  if (!device.empty()) {
    return std::make_unique<tw::DeviceEndpoint>(device, baud);
  }
#ifdef _WIN32
  // No pseudo-terminals here: without --tcp the box takes any free loopback port.
  return std::make_unique<tw::TcpEndpoint>(host, tcpPort.value_or(0));
#else
  if (tcpPort) {
    return std::make_unique<tw::TcpEndpoint>(host, *tcpPort);
  }
  return std::make_unique<tw::PtyEndpoint>();
#endif
}

}  // namespace

// Anything thrown, from the options on, ends the box with its message.
int main(int argc, char** argv) try {
  CLI::App app{
      "tarnwick-boxsim: a simulated set-top box loader for Tarnwick.\n"
      "Prints the device the PC opens (a pseudo-terminal path, or tcp:HOST:PORT) on one line of\n"
      "standard output and serves until interrupted."};
  app.footer(kBehaviour);

  tw::BoxOptions options;
  std::optional<std::uint16_t> tcpPort;
  std::string host = "127.0.0.1";
  std::string device;
  bool unpaced = false;
  bool trace = false;
  unsigned settleMs = 100;
  unsigned splitGapMs = 5;
  std::optional<unsigned> failAfter;
  std::optional<unsigned> nakAfter;
  std::vector<std::string> injections;

  auto* tcp =
      app.add_option("--tcp", tcpPort, "Listen on this TCP port instead of a pseudo-terminal (0: any free port)");
  app.add_option("--host", host, "Address the TCP listener binds")->capture_default_str()->needs(tcp);
  app.add_option("--device", device, "Serve a real serial device (e.g. /dev/ttyUSB1), raw 8N1 at the negotiated speed")
      ->excludes(tcp);
  app.add_option("--state", options.stateDir, "Folder that keeps the box's memories between runs (and holds the disk)");
  app.add_option("--disk", options.diskDir,
                 "Folder of the box's disk (default: <state>/disk, or a temporary folder removed at exit)");
  app.add_option("--disk-size", options.diskSize, "Disk size in bytes for MP3 files and photos")->capture_default_str();
  app.add_option("--max-photos", options.maxPhotos, "Most photos the disk holds")->capture_default_str();
  app.add_option("--model", options.models, "Accepted model name of program images (repeatable; default: any)");
  app.add_option("--flash-report-every", options.flashReportEvery,
                 "RPL_FLASH_WRITING every N blocks of a flash target (0: never)")
      ->capture_default_str();
  app.add_option("--settle-ms", settleMs, "Pause after CMD_SPEED_CONFIRM while the PC reopens its port")
      ->capture_default_str();
  app.add_option("--idle-baud", options.idleBaud, "Speed before negotiation and after each MP3 or photo")
      ->check(CLI::IsMember({9600, 19200, 38400, 57600, 115200}))
      ->capture_default_str();
  app.add_flag("--unpaced", unpaced, "Do not take each byte's wire time (10 bits a byte) in either direction");
  app.add_flag("--complete-only", options.completeOnly, "Answer the last block with RPL_COMPLETE alone");
  app.add_flag("--trace", trace, "Every frame both ways, decoded and timestamped, on standard error");
  app.add_option("--seed", options.seed, "Seed of the randomised faults (fragment cuts)")->capture_default_str();

  const std::string faults = "Faults";
  app.add_option("--corrupt-every", options.faults.corruptEvery,
                 "Take the first arrival of every Nth data block as corrupted (RPL_DATA_CRC_ERROR, RPL_BLOCK_RESEND)")
      ->group(faults);
  app.add_flag("--split-replies", options.faults.splitReplies, "Send each reply in 2 or 3 fragments with gaps")
      ->group(faults);
  app.add_option("--split-gap-ms", splitGapMs, "Gap between reply fragments")->capture_default_str()->group(faults);
  app.add_flag("--join-replies", options.faults.joinReplies,
               "Send the replies of one turn (and upload data after RPL_UPLOAD_DATA) in one write")
      ->group(faults);
  app.add_flag("--silent", options.faults.silent, "Never answer the handshake")->group(faults);
  app.add_option("--fail-after", failAfter, "Answer the data block after N stored ones with RPL_BLOCK_FAILED")
      ->group(faults);
  app.add_option("--flip-byte", options.faults.flipByte,
                 "Store byte N (0-based) of a download into memory (not MP3 or photo) inverted, yet acknowledge it")
      ->group(faults);
  app.add_option("--nak-after", nakAfter, "Send RPL_GET_DATA_NAK in place of upload block N+1")->group(faults);
  app.add_option("--inject", injections,
                 "CODE@BLOCK[:PARAM]: send reply CODE (name like RPL_COMM_ERROR, or number) before the box's own "
                 "answer to data block BLOCK (1-based, first arrival) or before upload block BLOCK (repeatable)")
      ->group(faults);
  app.add_flag("--disk-full", options.faults.diskFull, "Refuse every MP3 and photo with RPL_NO_HDD_SPACE")
      ->group(faults);
  app.add_flag("--photos-full", options.faults.photosFull, "Refuse every new photo with RPL_PHOTO_ERROR")
      ->group(faults);

  CLI11_PARSE(app, argc, argv);

  for (const std::string& text : injections) {
    const auto injection = ParseInjection(text);
    if (!injection) {
      std::cerr << "tarnwick-boxsim: --inject " << text << ": expected CODE@BLOCK[:PARAM], e.g. RPL_COMM_ERROR@3\n";
      return 2;
    }
    options.faults.injections.push_back(*injection);
  }
  options.faults.failAfterBlocks = failAfter;
  options.faults.nakAfterUploadBlocks = nakAfter;
  options.faults.splitGap = std::chrono::milliseconds(splitGapMs);
  options.settle = std::chrono::milliseconds(settleMs);
  options.paced = !unpaced;
  if (trace) {
    options.trace = [](std::string_view line) {
      std::fwrite(line.data(), 1, line.size(), stderr);
      std::fputc('\n', stderr);
    };
  }

  tw::StopSignal stop;
  g_stop = &stop;
#ifdef SIGPIPE
  signal(SIGPIPE, SIG_IGN);
#endif
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  const auto endpoint = OpenEndpoint(tcpPort, host, device, options.idleBaud);
  tw::BoxRunner runner(std::move(options), *endpoint, stop);
  runner.WithLoader([](const tw::BoxLoader& loader) {
    if (!loader.StateProblem().empty()) {
      std::cerr << "tarnwick-boxsim: " << loader.StateProblem() << "\n";
    }
    std::cerr << "tarnwick-boxsim: disk " << loader.Disk().Root().string() << "\n";
  });
  std::cout << endpoint->Name() << std::endl;
  runner.Run();
  g_stop = nullptr;
  return 0;
} catch (const std::exception& error) {
  g_stop = nullptr;
  std::cerr << "tarnwick-boxsim: " << error.what() << "\n";
  return 1;
}
