#pragma once

#include <optional>
#include <string>

#include "link/com_port.h"

namespace tw {

// The --port argument: the embedded simulated box, one of the dialog's ports, or a device.
struct PortSpec {
  bool simulated = false;
  ComPort port;        // COM1..COM5
  std::string device;  // a device path or tcp:HOST:PORT, used for port 1
};

[[nodiscard]] std::optional<PortSpec> ParsePortSpec(const std::string& text);

}  // namespace tw
