#include "cli/output_tag.h"

#include <algorithm>

#include "cli/port_board.h"

namespace tw {

void WriteLine(std::FILE* out, const OutputTag& tag, const std::string& text) {
  std::string line = tag.prefix;
  for (const char c : text) {
    line += c == '\n' ? "\n" + tag.prefix : std::string(1, c);
  }
  line += "\n";
  if (tag.board != nullptr) {
    tag.board->Above(out, line);
    return;
  }
  std::unique_lock<std::mutex> lock;
  if (tag.lock != nullptr) {
    lock = std::unique_lock(*tag.lock);
  }
  std::fwrite(line.data(), 1, line.size(), out);
  std::fflush(out);
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace tw
