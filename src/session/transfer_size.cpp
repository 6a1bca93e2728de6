#include "session/transfer_size.h"

#include <limits>

#include "session/session_texts.h"

namespace tw {

namespace {

constexpr std::size_t kEepromAddressDigits = 4;
constexpr std::size_t kAddressDigits = 8;
constexpr std::uint64_t kLargestTransfer = std::numeric_limits<std::uint32_t>::max();

std::optional<std::uint32_t> Refuse(SessionHost& host, std::string_view message) {
  host.MessageBox(std::string(message));
  return std::nullopt;
}

std::optional<std::uint32_t> WholeSource(SessionHost& host, const BlockSource& source) {
  if (!FitsTransfer(host, source.Size(), source.Name())) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(source.Size());
}

std::optional<std::uint32_t> SizeFor(SessionHost& host, const TransferPlan& plan) {
  const BlockSource* source = plan.source.get();
  switch (plan.mode) {
    case Mode::Program:
    case Mode::GzipProgram:
    case Mode::Mp3:
    case Mode::Photo:
    case Mode::Background:
      return WholeSource(host, *source);
    case Mode::Database:
      if (plan.download && source->Size() < kDatabaseSize) {
        return Refuse(host, text::kNotDatabaseFile);
      }
      return kDatabaseSize;
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      if (plan.download) {
        return WholeSource(host, *source);
      }
      return ParseDecimalSize(host.SizeText()).value_or(0);
    case Mode::Boot:
      if (source->Size() != kBootSize) {
        host.MessageBox(std::string(text::kNotBootFile));
        if (source->Size() < kBootSize) {
          return std::nullopt;  // the blocks past its end would not be the file's
        }
      }
      return kBootSize;
  }
  return std::nullopt;
}

}  // namespace

bool FitsTransfer(SessionHost& host, std::uint64_t size, const std::string& name) {
  if (size > kLargestTransfer) {
    host.MessageBox(text::TooLarge(name));
    return false;
  }
  return true;
}

bool UpdateTransferSize(SessionHost& host, TransferPlan& plan) {
  const std::optional<std::uint32_t> size = SizeFor(host, plan);
  if (!size) {
    return false;
  }
  plan.size = *size;
  return true;
}

std::string RequestAddressText(Mode mode, const std::string& start) {
  switch (mode) {
    case Mode::Eeprom: {
      // "0x12" means 0x12: the prefix goes before the last four characters are taken.
      return "0000" + LastChars(std::string(WithoutHexPrefix(start)), kEepromAddressDigits);
    }
    case Mode::Sdram:
    case Mode::Flash:
      return LastChars(start, kAddressDigits);
    case Mode::Database:
      return "fffa0000";
    default:
      return start;
  }
}

std::optional<std::uint32_t> ParseDecimalSize(const std::string& text) {
  if (text.empty() || text.size() > 10) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > kLargestTransfer) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string LastChars(const std::string& text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

}  // namespace tw
