#include "cli/terminal_width.h"

#include <io.h>
#include <windows.h>

namespace tw {

std::size_t TerminalWidth(std::FILE* out) {
  constexpr std::size_t kDefaultWidth = 80;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
  if (!GetConsoleScreenBufferInfo(console, &info)) {
    return kDefaultWidth;
  }
  const int width = info.srWindow.Right - info.srWindow.Left + 1;
  return width > 1 ? static_cast<std::size_t>(width) : kDefaultWidth;
}

}  // namespace tw
