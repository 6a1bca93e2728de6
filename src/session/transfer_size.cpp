#include "session/transfer_size.h"

#include "session/session_texts.h"

namespace tw {

namespace {

constexpr std::uint32_t kProgramHeaderSize = 64;

// The image file's length as a 32-bit count; images do not reach 4 GiB.
std::uint32_t ImageLength(const SessionContext& context) {
  return static_cast<std::uint32_t>(context.state.imageFile.Length());
}

std::optional<std::uint32_t> SizeFor(SessionContext& context) {
  TransferState& state = context.state;
  switch (context.CurrentMode()) {
    case Mode::Program:
      return ImageLength(context) - kProgramHeaderSize;
    case Mode::GzipProgram:
      return ImageLength(context);
    case Mode::Database:
      if (state.download && state.imageFile.Length() < kDatabaseSize) {
        context.host.MessageBox(std::string(text::kNotDatabaseFile));
        return std::nullopt;
      }
      return kDatabaseSize;
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      if (state.download) {
        return static_cast<std::uint32_t>(state.viewerData.size());
      }
      return ParseDecimalSize(context.host.SizeText()).value_or(0);
    case Mode::Mp3:
    case Mode::Photo:
    case Mode::Background:
      return state.transferSize + static_cast<std::uint32_t>(kMediaHeaderSize);
    case Mode::Boot:
      if (state.imageFile.Length() != kBootSize) {
        context.host.MessageBox(std::string(text::kNotBootFile));
        if (state.imageFile.Length() < kBootSize) {
          return std::nullopt;  // the blocks past its end would not be the file's
        }
      }
      return kBootSize;
  }
  return state.transferSize;
}

}  // namespace

bool UpdateTransferSize(SessionContext& context) {
  const std::optional<std::uint32_t> size = SizeFor(context);
  if (!size) {
    return false;
  }
  context.state.transferSize = *size;
  context.link.SetTransferSize(*size);
  return true;
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
  if (value > 0xFFFFFFFFu) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string LastChars(const std::string& text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

}  // namespace tw
