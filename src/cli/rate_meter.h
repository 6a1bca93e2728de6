#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tw {

// The transfer rate and the time left. The rate counts from the first update on: the bytes of that one
// took no time we saw. A count that goes back starts a new transfer.
class RateMeter {
 public:
  void Update(std::uint64_t done, std::uint64_t total);
  // Bytes per second; 0 while nothing is measured.
  [[nodiscard]] double BytesPerSecond() const;
  [[nodiscard]] std::optional<double> SecondsLeft() const;

 private:
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
  std::uint64_t m_startDone = 0;
  std::uint64_t m_done = 0;
  std::uint64_t m_total = 0;
};

}  // namespace tw
