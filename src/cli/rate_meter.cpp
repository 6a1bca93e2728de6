#include "cli/rate_meter.h"

namespace tw {

void RateMeter::Update(std::uint64_t done, std::uint64_t total) {
  if (m_total == 0 || done < m_done) {
    m_start = std::chrono::steady_clock::now();
    m_startDone = done;
  }
  m_done = done;
  m_total = total;
}

double RateMeter::BytesPerSecond() const {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  return elapsed > 0 ? static_cast<double>(m_done - m_startDone) / elapsed : 0.0;
}

std::optional<double> RateMeter::SecondsLeft() const {
  const double rate = BytesPerSecond();
  if (rate <= 0) {
    return std::nullopt;
  }
  return static_cast<double>(m_total - m_done) / rate;
}

}  // namespace tw
