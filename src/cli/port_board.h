#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace tw {

// Several ports on one terminal: a row per port at the bottom, redrawn in place, and whole lines from any
// port written above the rows. One lock serialises everything written while it is shown.
class PortBoard {
 public:
  PortBoard(std::FILE* out, std::size_t rows);

  void SetRow(std::size_t row, const std::string& text);
  // A line on `stream` (stdout or the board's own) above the rows.
  void Above(std::FILE* stream, const std::string& line);

 private:
  void Erase();
  void Draw();

  std::mutex m_mutex;
  std::FILE* m_out;
  std::vector<std::string> m_rows;
  std::size_t m_width;
  bool m_drawn = false;
};

}  // namespace tw
