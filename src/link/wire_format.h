#pragma once
// Everything that crosses the serial line between the PC and the box's resident loader.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tw {

inline constexpr std::array<std::uint32_t, 5> kSpeedTable{9600, 19200, 38400, 57600, 115200};

// A line speed by its CMD_SET_SPEED code, which is also its place in kSpeedTable.
enum class LineSpeed : std::uint8_t { Baud9600, Baud19200, Baud38400, Baud57600, Baud115200 };
// The box idles at it.
inline constexpr LineSpeed kFastestSpeed = LineSpeed::Baud115200;

[[nodiscard]] std::uint32_t BaudFor(LineSpeed speed);
// Nothing for a rate the box does not know.
[[nodiscard]] std::optional<LineSpeed> SpeedForBaud(std::uint32_t baud);

// PC -> box command codes (header byte 2).
namespace cmd {
inline constexpr std::uint8_t kDownloadRequest = 0x03;
inline constexpr std::uint8_t kUploadRequest = 0x04;
inline constexpr std::uint8_t kSetSpeed = 0x10;
inline constexpr std::uint8_t kSpeedConfirm = 0x13;
inline constexpr std::uint8_t kDataBlock = 0x31;
inline constexpr std::uint8_t kUploadAck = 0x61;
}  // namespace cmd

// Box -> PC reply codes (frame byte 2; byte 1 is the parameter).
namespace rpl {
inline constexpr std::uint8_t kHello = 0x02;
inline constexpr std::uint8_t kSendData = 0x05;
inline constexpr std::uint8_t kCommError = 0x06;
inline constexpr std::uint8_t kBadHeader = 0x07;
inline constexpr std::uint8_t kFlashWriting = 0x08;
inline constexpr std::uint8_t kSpeedAck = 0x11;
inline constexpr std::uint8_t kGetRequest = 0x12;
inline constexpr std::uint8_t kCommProblem = 0x14;
inline constexpr std::uint8_t kInvalidSw = 0x15;
inline constexpr std::uint8_t kBlockOk = 0x32;
inline constexpr std::uint8_t kBlockFailed = 0x33;
inline constexpr std::uint8_t kComplete = 0x41;
inline constexpr std::uint8_t kUploadData = 0x62;
inline constexpr std::uint8_t kGetDataNak = 0x63;
inline constexpr std::uint8_t kBlockResend = 0x71;
inline constexpr std::uint8_t kHeaderCrcError = 0xA1;
inline constexpr std::uint8_t kDataCrcError = 0xA2;
inline constexpr std::uint8_t kNoHddSpace = 0xB1;
inline constexpr std::uint8_t kPhotoError = 0xB2;
}  // namespace rpl

// A transfer's mode, in the order of the dialog's combo; the request's target byte is the value + 1.
enum class Mode : int {
  Program = 0,
  Database = 1,
  Sdram = 2,
  Flash = 3,
  Eeprom = 4,
  Mp3 = 5,
  Photo = 6,
  Background = 7,
  Boot = 8,
  GzipProgram = 9,
};
inline constexpr int kModeCount = 10;
inline constexpr std::array<std::string_view, kModeCount> kModeNames{
    "PROGRAM", "DATABASE", "SDRAM", "FLASH", "EEPROM", "MP3", "PHOTO", "BACKGROUND", "BOOT", "GZIP_PROGRAM"};

// The Start text a memory mode begins with; the other modes take no address from it.
struct StartDefault {
  Mode mode;
  std::string_view start;
};
inline constexpr std::array kStartDefaults{
    StartDefault{Mode::Sdram, "0x00400000"},
    StartDefault{Mode::Flash, "0x7FE00000"},
    StartDefault{Mode::Eeprom, "0x0000"},
};
[[nodiscard]] std::optional<std::string_view> DefaultStartText(Mode mode);

inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kReplySize = 8;
inline constexpr std::size_t kRequestPayloadSize = 44;
inline constexpr std::size_t kBlockSize = 1024;
inline constexpr std::size_t kMaxChunk = 2048;
inline constexpr std::uint8_t kHeaderMagic = 0x47;       // 'G'
inline constexpr std::uint32_t kDatabaseSize = 0x50800;  // 329728
inline constexpr std::uint32_t kDatabaseAddress = 0xFFFA0000;
inline constexpr std::uint32_t kBootSize = 0x10000;
inline constexpr std::size_t kModelNameSize = 30;
// A program image starts with a header of its own that never goes out.
inline constexpr std::uint32_t kProgramHeaderSize = 64;

// Stored as "\ncom_pc\n"; only the first 7 bytes ever go out.
inline constexpr std::array<std::uint8_t, 7> kHandshake{0x0A, 'c', 'o', 'm', '_', 'p', 'c'};

// Command header:
//   0 0x47 | 1 sequence (data blocks) | 2 code | 3..6 CRC of payload, big-endian | 7 parameter
using CommandHeader = std::array<std::uint8_t, kHeaderSize>;
[[nodiscard]] CommandHeader NewHeader(std::uint8_t code);

// Request payload (44 bytes):
//   0 model name (30) | 30 zero (2) | 32 start address BE | 36 transfer size BE | 40 mode+1 | 41 zero (3)
inline constexpr std::size_t kRequestAddressOffset = 32;
inline constexpr std::size_t kRequestSizeOffset = 36;
inline constexpr std::size_t kRequestTargetOffset = 40;

void PutBigEndian32(std::uint8_t* out, std::uint32_t value);
[[nodiscard]] std::uint32_t GetBigEndian32(const std::uint8_t* in);

// Names for traces; "?" for a code outside the tables.
[[nodiscard]] std::string_view ReplyName(std::uint8_t code);
[[nodiscard]] std::string_view CommandName(std::uint8_t code);

// The text without a leading "0x"/"0X".
[[nodiscard]] std::string_view WithoutHexPrefix(std::string_view text);
// Loader hex text: digits weigh by their distance from the last character; "0x"/"0X" is skipped.
[[nodiscard]] std::uint32_t ParseHexText(std::string_view text);
// The request's start address for `mode` from the Start text: its last 8 characters, for EEPROM the
// last 4 once "0x" is dropped ("0x12" means 0x12); a database always goes to kDatabaseAddress.
[[nodiscard]] std::uint32_t RequestAddress(Mode mode, std::string_view startText);

}  // namespace tw
