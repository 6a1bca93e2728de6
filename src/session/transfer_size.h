#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "session/session_context.h"

namespace tw {

// The transfer size step every start runs once before its handshake: sets the plan's announced size
// from its mode, direction and source. False when the source must be refused (the reason has been
// shown): nothing may be sent then.
bool UpdateTransferSize(SessionRoles& host, TransferPlan& plan);

// Whether `size` bytes fit the request's 32-bit size field; says so about `name` when not.
bool FitsTransfer(Prompts& prompts, std::uint64_t size, const std::string& name);

// The Size text as a decimal byte count; nothing unless it is all digits and fits 32 bits.
[[nodiscard]] std::optional<std::uint32_t> ParseDecimalSize(const std::string& text);

}  // namespace tw
