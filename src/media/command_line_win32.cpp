#include "media/command_line_win32.h"

#include <filesystem>

namespace tw {
namespace {

// One argument quoted the way the C runtime's command-line parser reads it back: backslashes are
// literal except before a quote, where they are doubled, and the quote itself is escaped.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

std::wstring WindowsCommandLine(const std::vector<std::string>& arguments) {
  std::wstring line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) {
      line += L' ';
    }
    AppendQuoted(line, std::filesystem::path(argument).wstring());
  }
  return line;
}

}  // namespace tw
