#include "link/wire_format.h"

#include <algorithm>

namespace tw {

std::uint32_t BaudFor(LineSpeed speed) { return kSpeedTable.at(static_cast<std::size_t>(speed)); }

std::optional<LineSpeed> SpeedForBaud(std::uint32_t baud) {
  const auto it = std::find(kSpeedTable.begin(), kSpeedTable.end(), baud);
  if (it == kSpeedTable.end()) {
    return std::nullopt;
  }
  return static_cast<LineSpeed>(it - kSpeedTable.begin());
}

std::optional<std::string_view> DefaultStartText(Mode mode) {
  for (const StartDefault& entry : kStartDefaults) {
    if (entry.mode == mode) {
      return entry.start;
    }
  }
  return std::nullopt;
}

CommandHeader NewHeader(std::uint8_t code) {
  CommandHeader header{};
  header[0] = kHeaderMagic;
  header[2] = code;
  return header;
}

void PutBigEndian32(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 24);
  out[1] = static_cast<std::uint8_t>(value >> 16);
  out[2] = static_cast<std::uint8_t>(value >> 8);
  out[3] = static_cast<std::uint8_t>(value);
}

std::uint32_t GetBigEndian32(const std::uint8_t* in) {
  return (std::uint32_t{in[0]} << 24) | (std::uint32_t{in[1]} << 16) | (std::uint32_t{in[2]} << 8) |
         std::uint32_t{in[3]};
}

std::string_view ReplyName(std::uint8_t code) {
  switch (code) {
    case rpl::kHello:
      return "RPL_HELLO";
    case rpl::kSendData:
      return "RPL_SEND_DATA";
    case rpl::kCommError:
      return "RPL_COMM_ERROR";
    case rpl::kBadHeader:
      return "RPL_BAD_HEADER";
    case rpl::kFlashWriting:
      return "RPL_FLASH_WRITING";
    case rpl::kSpeedAck:
      return "RPL_SPEED_ACK";
    case rpl::kGetRequest:
      return "RPL_GET_REQUEST";
    case rpl::kCommProblem:
      return "RPL_COMM_PROBLEM";
    case rpl::kInvalidSw:
      return "RPL_INVALID_SW";
    case rpl::kBlockOk:
      return "RPL_BLOCK_OK";
    case rpl::kBlockFailed:
      return "RPL_BLOCK_FAILED";
    case rpl::kComplete:
      return "RPL_COMPLETE";
    case rpl::kUploadData:
      return "RPL_UPLOAD_DATA";
    case rpl::kGetDataNak:
      return "RPL_GET_DATA_NAK";
    case rpl::kBlockResend:
      return "RPL_BLOCK_RESEND";
    case rpl::kHeaderCrcError:
      return "RPL_HEADER_CRC_ERROR";
    case rpl::kDataCrcError:
      return "RPL_DATA_CRC_ERROR";
    case rpl::kNoHddSpace:
      return "RPL_NO_HDD_SPACE";
    case rpl::kPhotoError:
      return "RPL_PHOTO_ERROR";
    default:
      return "?";
  }
}

std::string_view CommandName(std::uint8_t code) {
  switch (code) {
    case cmd::kDownloadRequest:
      return "CMD_DOWNLOAD_REQUEST";
    case cmd::kUploadRequest:
      return "CMD_UPLOAD_REQUEST";
    case cmd::kSetSpeed:
      return "CMD_SET_SPEED";
    case cmd::kSpeedConfirm:
      return "CMD_SPEED_CONFIRM";
    case cmd::kDataBlock:
      return "CMD_DATA_BLOCK";
    case cmd::kUploadAck:
      return "CMD_UPLOAD_ACK";
    default:
      return "?";
  }
}

namespace {

constexpr std::size_t kAddressChars = 8;
constexpr std::size_t kEepromAddressChars = 4;

// The loader's own digit rule: below 'A' is code - 0x30, below 'a' code - 55, else code - 87.
std::uint32_t HexDigit(char c) {
  const auto code = static_cast<std::uint32_t>(static_cast<unsigned char>(c));
  if (code < 'A') {
    return code - 0x30;
  }
  if (code < 'a') {
    return code - 55;
  }
  return code - 87;
}

std::uint32_t ParseHexDigits(std::string_view digits) {
  std::uint32_t value = 0;
  for (char c : digits) {
    value = value * 16 + HexDigit(c);
  }
  return value;
}

std::string_view LastChars(std::string_view text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

}  // namespace

std::string_view WithoutHexPrefix(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  return text;
}

std::uint32_t ParseHexText(std::string_view text) { return ParseHexDigits(WithoutHexPrefix(text)); }

std::uint32_t RequestAddress(Mode mode, std::string_view startText) {
  switch (mode) {
    case Mode::Database:
      return kDatabaseAddress;
    case Mode::Eeprom:
      // What is left after the prefix is all digits, even a second "0x".
      return ParseHexDigits(LastChars(WithoutHexPrefix(startText), kEepromAddressChars));
    default:
      return ParseHexText(LastChars(startText, kAddressChars));
  }
}

}  // namespace tw
