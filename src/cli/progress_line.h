#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tw {

// The progress shown on stderr: a redrawn bar on a terminal, a line per tenth elsewhere.
class ProgressLine {
 public:
  explicit ProgressLine(std::FILE* out);

  void Update(int percent, std::uint64_t done, std::uint64_t total);
  // Elsewhere than on a terminal a caption is written when something follows it, unless withdrawn.
  void Caption(const std::string& caption);
  // The caption, when it is text, goes unshown: text is about to be shown anyway.
  void Withdraw(const std::string& text);
  void Status(const std::string& text);  // a line of its own, the bar redrawn below it
  void Finish();
  [[nodiscard]] bool OnTerminal() const { return m_terminal; }

 private:
  void Draw();
  void Erase();
  void WritePendingCaption();
  [[nodiscard]] std::string Render() const;

  std::FILE* m_out;
  bool m_terminal;
  bool m_drawn = false;
  int m_percent = -1;
  int m_lastTenth = -1;
  std::uint64_t m_done = 0;
  std::uint64_t m_total = 0;
  std::string m_caption;
  bool m_captionPending = false;
  // The rate counts from the first update on: the bytes of that one took no time we saw.
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
  std::uint64_t m_startDone = 0;
};

}  // namespace tw
