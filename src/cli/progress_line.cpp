#include "cli/progress_line.h"

#include <unistd.h>

#include <cmath>

#include "cli/port_board.h"

namespace tw {

namespace {

constexpr int kBarWidth = 30;

std::string FormatDuration(double seconds) {
  const long total = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, OutputTag tag)
    : m_out(out),
      m_tag(std::move(tag)),
      m_terminal(m_tag.board != nullptr || (!m_tag.Shared() && isatty(fileno(out)) != 0)) {}

void ProgressLine::Update(int percent, std::uint64_t done, std::uint64_t total) {
  WritePendingCaption();
  m_rate.Update(done, total);
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
  if (m_tag.board != nullptr && m_percent >= 0) {
    Draw();  // the row keeps the bar; the text goes above
    return;
  }
  Erase();
}

void ProgressLine::WritePendingCaption() {
  if (m_captionPending) {
    m_captionPending = false;
    WriteLine(m_out, m_tag, m_caption);
  }
}

void ProgressLine::Erase() {
  if (m_drawn && m_terminal && m_tag.board == nullptr) {
    std::fputs("\r\033[K", m_out);
  }
  m_drawn = false;
}

void ProgressLine::Status(const std::string& text) {
  WritePendingCaption();
  Erase();
  WriteLine(m_out, m_tag, text);
  if (m_terminal && m_percent >= 0) {
    Draw();
  }
}

void ProgressLine::Message(const std::string& text) {
  Withdraw(text);
  Finish();
}

void ProgressLine::Finish() {
  WritePendingCaption();
  if (m_drawn && m_terminal && m_tag.board == nullptr) {
    std::fputc('\n', m_out);
  }
  m_drawn = false;
}

void ProgressLine::Draw() {
  if (m_tag.board != nullptr) {
    m_tag.board->SetRow(m_tag.row, m_tag.prefix + (m_device.empty() ? "" : m_device + "  ") + Render());
    m_drawn = true;
  } else if (m_terminal) {
    std::fprintf(m_out, "\r\033[K%s", Render().c_str());
    m_drawn = true;
  } else if (m_percent / 10 != m_lastTenth) {
    m_lastTenth = m_percent / 10;
    WriteLine(m_out, m_tag, Render());
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
  char text[160];
  std::snprintf(text, sizeof text, "%s %3d%%  %llu/%llu bytes  ", bar.c_str(), m_percent,
                static_cast<unsigned long long>(m_done), static_cast<unsigned long long>(m_total));
  std::string line = text;
  const std::optional<double> left = m_rate.SecondsLeft();
  if (!left) {
    return line + "-- KB/s";  // nothing measured yet
  }
  std::snprintf(text, sizeof text, "%.1f KB/s  %s left", m_rate.BytesPerSecond() / 1024.0,
                FormatDuration(*left).c_str());
  return line + text;
}

}  // namespace tw
