#include "cli/option_checks.h"

#include <algorithm>
#include <cctype>

namespace tw {

namespace {

constexpr std::size_t kMaxAddressDigits = 8;

bool AllOf(const std::string& text, int (*isClass)(int)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [isClass](unsigned char c) { return isClass(c) != 0; });
}

}  // namespace

bool IsHexAddress(const std::string& text) {
  const bool prefixed = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = prefixed ? text.substr(2) : text;
  return digits.size() <= kMaxAddressDigits && AllOf(digits, isxdigit);
}

bool IsDecimalCount(const std::string& text) { return AllOf(text, isdigit); }

}  // namespace tw
