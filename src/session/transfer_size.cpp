#include "session/transfer_size.h"

#include <limits>

#include "session/session_texts.h"

namespace tw {

namespace {

constexpr std::uint64_t kLargestTransfer = std::numeric_limits<std::uint32_t>::max();

std::optional<std::uint32_t> Refuse(Prompts& prompts, std::string_view message) {
  prompts.MessageBox(std::string(message));
  return std::nullopt;
}

std::optional<std::uint32_t> WholeSource(Prompts& prompts, const BlockSource& source) {
  if (!FitsTransfer(prompts, source.Size(), source.Name())) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(source.Size());
}

std::optional<std::uint32_t> SizeFor(SessionRoles& host, const TransferPlan& plan) {
  const BlockSource* source = plan.source.get();
  switch (plan.mode) {
    case Mode::Program:
    case Mode::GzipProgram:
    case Mode::Mp3:
    case Mode::Photo:
    case Mode::Background:
      return WholeSource(host.prompts, *source);
    case Mode::Database:
      if (plan.download && source->Size() < kDatabaseSize) {
        return Refuse(host.prompts, text::kNotDatabaseFile);
      }
      return kDatabaseSize;
    case Mode::Sdram:
    case Mode::Flash:
    case Mode::Eeprom:
      if (plan.download) {
        return WholeSource(host.prompts, *source);
      }
      return ParseDecimalSize(host.controls.SizeText()).value_or(0);
    case Mode::Boot:
      if (source->Size() != kBootSize) {
        host.prompts.MessageBox(std::string(text::kNotBootFile));
        if (source->Size() < kBootSize) {
          return std::nullopt;  // the blocks past its end would not be the file's
        }
      }
      return kBootSize;
  }
  return std::nullopt;
}

}  // namespace

bool FitsTransfer(Prompts& prompts, std::uint64_t size, const std::string& name) {
  if (size > kLargestTransfer) {
    prompts.MessageBox(text::TooLarge(name));
    return false;
  }
  return true;
}

bool UpdateTransferSize(SessionRoles& host, TransferPlan& plan) {
  const std::optional<std::uint32_t> size = SizeFor(host, plan);
  if (!size) {
    return false;
  }
  plan.size = *size;
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
  if (value > kLargestTransfer) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace tw
