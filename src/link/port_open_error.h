#pragma once
// Why a port did not open, and the operator's texts about it.

#include <string>

namespace tw {

inline constexpr const char* kCantOpenPortFormat = "Can't Open Comm Port %d !";

[[nodiscard]] std::string CantOpenPortMessage(int portNumber);

struct PortOpenError {
  int error = 0;       // errno of the failed step; 0 after a good open
  std::string device;  // the device path or "tcp:HOST:PORT" tried; empty when no device was found
};

// One line for a console user on why the open failed: not a serial device, refused, unknown host, the
// dialout group, the process holding the port, or the system's own words.
[[nodiscard]] std::string PortOpenHint(const PortOpenError& failure);

}  // namespace tw
