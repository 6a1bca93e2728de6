#include "cli/terminal_width.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace tw {

std::size_t TerminalWidth(std::FILE* out) {
  constexpr std::size_t kDefaultWidth = 80;
  winsize size{};
  return ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col : kDefaultWidth;
}

}  // namespace tw
