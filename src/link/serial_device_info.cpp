#include "link/serial_device_info.h"

namespace tw {

std::vector<SerialDeviceInfo> NumberDevices(const std::vector<std::string>& devices) {
  std::vector<SerialDeviceInfo> infos;
  for (const std::string& device : devices) {
    SerialDeviceInfo info;
    const int position = static_cast<int>(infos.size()) + 1;
    info.portNumber = position <= kDevicePortNumbers ? position : 0;
    info.device = device;
    infos.push_back(std::move(info));
  }
  return infos;
}

}  // namespace tw
