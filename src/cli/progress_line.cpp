#include "cli/progress_line.h"

#include <unistd.h>

namespace tw {

namespace {

constexpr int kBarWidth = 30;

std::string FormatDuration(double seconds) {
  const auto total = static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out) : m_out(out), m_terminal(isatty(fileno(out)) != 0) {}

void ProgressLine::Update(int percent, std::uint64_t done, std::uint64_t total) {
  WritePendingCaption();
  if (m_total == 0 || done < m_done) {
    m_start = std::chrono::steady_clock::now();
    m_startDone = done;
  }
  m_percent = percent;
  m_done = done;
  m_total = total;
  m_caption.clear();
  Draw();
}

void ProgressLine::Caption(const std::string& caption) {
  WritePendingCaption();
  m_caption = caption;
  if (m_terminal) {
    Draw();
  } else {
    m_captionPending = true;
  }
}

void ProgressLine::Withdraw(const std::string& text) {
  if (m_caption != text) {
    return;
  }
  m_captionPending = false;
  m_caption.clear();
  Erase();
}

void ProgressLine::WritePendingCaption() {
  if (m_captionPending) {
    m_captionPending = false;
    std::fprintf(m_out, "%s\n", m_caption.c_str());
  }
}

void ProgressLine::Erase() {
  if (m_drawn && m_terminal) {
    std::fputs("\r\033[K", m_out);
  }
  m_drawn = false;
}

void ProgressLine::Status(const std::string& text) {
  WritePendingCaption();
  Erase();
  std::fprintf(m_out, "%s\n", text.c_str());
  if (m_terminal && m_percent >= 0) {
    Draw();
  }
}

void ProgressLine::Finish() {
  WritePendingCaption();
  if (m_drawn && m_terminal) {
    std::fputc('\n', m_out);
  }
  m_drawn = false;
}

void ProgressLine::Draw() {
  if (m_terminal) {
    std::fprintf(m_out, "\r\033[K%s", Render().c_str());
    m_drawn = true;
  } else if (m_percent / 10 != m_lastTenth) {
    m_lastTenth = m_percent / 10;
    std::fprintf(m_out, "%s\n", Render().c_str());
  }
  std::fflush(m_out);
}

std::string ProgressLine::Render() const {
  if (!m_caption.empty()) {
    return m_caption;
  }
  const int filled = m_percent * kBarWidth / 100;
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "]";
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  const double rate = elapsed > 0 ? static_cast<double>(m_done - m_startDone) / elapsed : 0.0;
  char text[160];
  std::snprintf(text, sizeof text, "%s %3d%%  %llu/%llu bytes  ", bar.c_str(), m_percent,
                static_cast<unsigned long long>(m_done), static_cast<unsigned long long>(m_total));
  std::string line = text;
  if (rate <= 0) {
    return line + "-- KB/s";  // nothing measured yet
  }
  std::snprintf(text, sizeof text, "%.1f KB/s  %s left", rate / 1024.0,
                FormatDuration(static_cast<double>(m_total - m_done) / rate).c_str());
  return line + text;
}

}  // namespace tw
