#pragma once

#include <cstdint>

namespace tw {

// A serial port by the dialog's number: COM1..COM5 are the serial devices found, 6 and up pseudo-devices.
struct ComPort {
  std::uint8_t number = 1;
};

}  // namespace tw
