#include "cli/port_board.h"

#include "cli/terminal_width.h"

namespace tw {

PortBoard::PortBoard(std::FILE* out, std::size_t rows) : m_out(out), m_rows(rows), m_width(TerminalWidth(out)) {}

void PortBoard::SetRow(std::size_t row, const std::string& text) {
  const std::lock_guard lock(m_mutex);
  Erase();
  m_rows.at(row) = text;
  Draw();
}

void PortBoard::Above(std::FILE* stream, const std::string& line) {
  const std::lock_guard lock(m_mutex);
  Erase();
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fflush(stream);
  Draw();
}

// Back up over the rows: each is one screen line, as Draw cuts it to the width.
void PortBoard::Erase() {
  if (!m_drawn) {
    return;
  }
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    std::fputs("\033[A\r\033[K", m_out);
  }
  m_drawn = false;
}

void PortBoard::Draw() {
  for (const std::string& row : m_rows) {
    std::fprintf(m_out, "%s\n", row.substr(0, m_width - 1).c_str());
  }
  std::fflush(m_out);
  m_drawn = true;
}

}  // namespace tw
