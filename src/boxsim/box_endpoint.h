#pragma once
// The box's end of the line: a pseudo-terminal, a TCP listener or a real serial device.

#include <cstddef>
#include <cstdint>
#include <string>

#include "boxsim/stop_signal.h"

namespace tw {

class BoxEndpoint {
 public:
  virtual ~BoxEndpoint() = default;

  // What the PC opens: a device path, or "tcp:HOST:PORT".
  [[nodiscard]] virtual std::string Name() const = 0;
  // Waits until bytes, or a peer, have arrived: false when the stop came first or the wait failed.
  [[nodiscard]] virtual bool WaitReadable(const StopSignal& stop) = 0;
  // Bytes for the box; 0 when nothing is for the box yet; -1 when the line is lost for good.
  virtual long Read(std::uint8_t* buffer, std::size_t size) = 0;
  // False when the stop came first or the line is lost.
  virtual bool Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) = 0;
  virtual void SetBaud(std::uint32_t baud) = 0;
  // A real UART takes its own wire time; the box must not add it again.
  [[nodiscard]] virtual bool PacedByLine() const { return false; }

#ifndef _WIN32
 protected:
  // Waits for the descriptor to turn readable, or the stop.
  [[nodiscard]] static bool WaitFd(int fd, const StopSignal& stop);
  // Writes all bytes to a non-blocking descriptor, waiting for room, or returns false.
  [[nodiscard]] static bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, const StopSignal& stop,
                                     bool socket);
  // Plain reads of a non-blocking descriptor: "nothing yet" is 0, a failure -1.
  [[nodiscard]] static long ReadSome(int fd, std::uint8_t* buffer, std::size_t size);
#endif
};

}  // namespace tw
