#include "cli/option_checks.h"

#include <algorithm>
#include <cctype>

#include "link/wire_format.h"

namespace tw {

namespace {

constexpr std::size_t kMaxAddressDigits = 8;

bool AllOf(const std::string& text, int (*isClass)(int)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [isClass](unsigned char c) { return isClass(c) != 0; });
}

}  // namespace

bool IsHexAddress(const std::string& text) {
  const std::string digits(WithoutHexPrefix(text));
  return digits.size() <= kMaxAddressDigits && AllOf(digits, isxdigit);
}

bool IsDecimalCount(const std::string& text) { return AllOf(text, isdigit); }

}  // namespace tw
