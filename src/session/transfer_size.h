#pragma once

#include "session/session_context.h"

namespace tw {

// The transfer size step every start runs once before its handshake. False when the source must be
// refused: nothing may be sent then.
bool UpdateTransferSize(SessionContext& context);

// The Size text as a decimal byte count; nothing unless it is all digits and fits 32 bits.
[[nodiscard]] std::optional<std::uint32_t> ParseDecimalSize(const std::string& text);

// The last `count` characters of `text` (all of it when shorter).
[[nodiscard]] std::string LastChars(const std::string& text, std::size_t count);

}  // namespace tw
