#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace tw {

class PortBoard;

// How one port writes on the streams the ports share: its lines prefixed, each line whole under one lock.
// The default is a single port's plain output.
struct OutputTag {
  std::string prefix;
  std::mutex* lock = nullptr;
  PortBoard* board = nullptr;  // on a terminal: the port's row, and the lines above it
  std::size_t row = 0;

  [[nodiscard]] bool Shared() const { return lock != nullptr || board != nullptr; }
};

// Writes the text and a line feed as one piece, each of its lines after the prefix, and flushes.
void WriteLine(std::FILE* out, const OutputTag& tag, const std::string& text);
// A message of several lines as one table cell.
[[nodiscard]] std::string OneLine(std::string text);

}  // namespace tw
