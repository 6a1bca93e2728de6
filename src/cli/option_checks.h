#pragma once
// What the address and size options accept: only what a person means, so a typo never reaches the box.

#include <string>

namespace tw {

// At most 8 hexadecimal digits, after an optional 0x.
[[nodiscard]] bool IsHexAddress(const std::string& text);
// Decimal digits only.
[[nodiscard]] bool IsDecimalCount(const std::string& text);

}  // namespace tw
