#include "cli/port_spec.h"

namespace tw {

std::optional<PortSpec> ParsePortSpec(const std::string& text) {
  PortSpec spec;
  if (text == "sim") {
    spec.simulated = true;
    return spec;
  }
  if (text.rfind("/dev/", 0) == 0 || text.rfind("tcp:", 0) == 0) {
    spec.device = text;
    return spec;
  }
  std::string digits = text;
  if (digits.size() == 4 && (digits.rfind("COM", 0) == 0 || digits.rfind("com", 0) == 0)) {
    digits = digits.substr(3);
  }
  if (digits.size() == 1 && digits[0] >= '1' && digits[0] <= '5') {
    spec.port.number = static_cast<std::uint8_t>(digits[0] - '0');
    return spec;
  }
  return std::nullopt;
}

}  // namespace tw
