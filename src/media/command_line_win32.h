#pragma once
// Windows programs get one command line and split it again with the C runtime's rules.

#include <string>
#include <vector>

namespace tw {

// The arguments (UTF-8) quoted so that the C runtime's parser reads exactly them back.
[[nodiscard]] std::wstring WindowsCommandLine(const std::vector<std::string>& arguments);

}  // namespace tw
