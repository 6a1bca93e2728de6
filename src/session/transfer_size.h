#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "session/session_context.h"

namespace tw {

// The transfer size step every start runs once before its handshake: sets the plan's announced size
// from its mode, direction and source. False when the source must be refused (the reason has been
// shown): nothing may be sent then.
bool UpdateTransferSize(SessionHost& host, TransferPlan& plan);

// Whether `size` bytes fit the request's 32-bit size field; says so about `name` when not.
bool FitsTransfer(SessionHost& host, std::uint64_t size, const std::string& name);

// What the request carries as start address for `mode`, from the Start text.
[[nodiscard]] std::string RequestAddressText(Mode mode, const std::string& start);

// The Size text as a decimal byte count; nothing unless it is all digits and fits 32 bits.
[[nodiscard]] std::optional<std::uint32_t> ParseDecimalSize(const std::string& text);

// The last `count` characters of `text` (all of it when shorter).
[[nodiscard]] std::string LastChars(const std::string& text, std::size_t count);

}  // namespace tw
