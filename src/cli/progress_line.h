#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/output_tag.h"
#include "cli/progress_view.h"
#include "cli/rate_meter.h"

namespace tw {

// The progress shown on stderr: a redrawn bar on a terminal, a line per tenth elsewhere. A port that
// shares the streams with others always writes whole prefixed lines.
class ProgressLine : public ProgressView {
 public:
  explicit ProgressLine(std::FILE* out, OutputTag tag = {});

  void Update(int percent, std::uint64_t done, std::uint64_t total) override;
  // Elsewhere than on a terminal a caption is written when something follows it, unless withdrawn.
  void Caption(const std::string& caption) override;
  void Withdraw(const std::string& text) override;
  void Status(const std::string& text) override;  // a line of its own, the bar redrawn below it
  void Message(const std::string& text) override;
  void Finish() override;
  [[nodiscard]] bool OnTerminal() const override { return m_terminal; }
  void NameDevice(const std::string& device) override { m_device = device; }

 private:
  void Draw();
  void Erase();
  void WritePendingCaption();
  [[nodiscard]] std::string Render() const;

  std::FILE* m_out;
  OutputTag m_tag;
  bool m_terminal;
  bool m_drawn = false;
  int m_percent = -1;
  int m_lastTenth = -1;
  std::uint64_t m_done = 0;
  std::uint64_t m_total = 0;
  std::string m_caption;
  bool m_captionPending = false;
  std::string m_device;
  RateMeter m_rate;
};

}  // namespace tw
