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
  void Caption(const std::string& caption);
  void Status(const std::string& text);  // a line of its own, the bar redrawn below it
  void Finish();

 private:
  void Draw();
  [[nodiscard]] std::string Render() const;

  std::FILE* m_out;
  bool m_terminal;
  bool m_drawn = false;
  int m_percent = -1;
  int m_lastTenth = -1;
  std::uint64_t m_done = 0;
  std::uint64_t m_total = 0;
  std::string m_caption;
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace tw
