#pragma once
// Wire time of a serial line: 10 bits a byte (start, 8 data, stop) at the current speed, in each
// direction on its own.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tw {

class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;

  LinePacer(bool enabled, std::uint32_t baud);

  void SetBaud(std::uint32_t baud) { m_baud = baud; }
  [[nodiscard]] bool Enabled() const { return m_enabled; }
  // Bytes that take about one pacing step on the wire; writes go out in slices of this size.
  [[nodiscard]] std::size_t SliceSize() const;
  // When count more bytes will have passed the line, each direction queueing behind its last bytes.
  [[nodiscard]] Clock::time_point Transmit(std::size_t count) { return Pass(m_sendFree, count); }
  [[nodiscard]] Clock::time_point Receive(std::size_t count) { return Pass(m_receiveFree, count); }

 private:
  [[nodiscard]] Clock::time_point Pass(Clock::time_point& free, std::size_t count) const;

  bool m_enabled;
  std::uint32_t m_baud;
  Clock::time_point m_sendFree{};
  Clock::time_point m_receiveFree{};
};

}  // namespace tw
