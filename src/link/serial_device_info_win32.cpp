// Windows names its ports COM1, COM2, ...: the listing has their order and no more.

#include "link/serial_backend.h"
#include "link/serial_device_info.h"

namespace tw {

std::vector<SerialDeviceInfo> DescribeSerialDevices(const std::filesystem::path&) {
  return NumberDevices(ListSerialDevices());
}

}  // namespace tw
