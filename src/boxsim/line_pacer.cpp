#include "boxsim/line_pacer.h"

#include <algorithm>

namespace tw {

namespace {

constexpr std::uint64_t kBitsPerByte = 10;
constexpr std::uint64_t kStepsPerSecond = 100;

}  // namespace

LinePacer::LinePacer(bool enabled, std::uint32_t baud) : m_enabled(enabled), m_baud(baud) {}

std::size_t LinePacer::SliceSize() const { return std::max<std::size_t>(1, m_baud / kBitsPerByte / kStepsPerSecond); }

LinePacer::Clock::time_point LinePacer::Pass(Clock::time_point& free, std::size_t count) const {
  const auto now = Clock::now();
  if (!m_enabled || m_baud == 0) {
    return now;
  }
  const auto wire = std::chrono::nanoseconds(count * kBitsPerByte * 1'000'000'000ull / m_baud);
  free = std::max(free, now) + std::chrono::duration_cast<Clock::duration>(wire);
  return free;
}

}  // namespace tw
