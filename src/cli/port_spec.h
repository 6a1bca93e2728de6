#pragma once

#include <optional>
#include <string>

namespace tw {

// The --port argument: the embedded simulated box, a port index of the dialog's combo, or a device.
struct PortSpec {
  bool simulated = false;
  int portIndex = 0;   // 0..4 for COM1..COM5
  std::string device;  // a device path or tcp:HOST:PORT, used for port 1
};

[[nodiscard]] std::optional<PortSpec> ParsePortSpec(const std::string& text);

}  // namespace tw
