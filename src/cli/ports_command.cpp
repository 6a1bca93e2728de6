#include "cli/ports_command.h"

#include <cstdio>
#include <string>

#include "cli/console_host.h"
#include "link/serial_device_info.h"

namespace tw {

namespace {

// Tabs and line breaks would split a field; "-" stands for a value that is not there.
std::string Field(std::string value) {
  for (char& c : value) {
    if (c == '\t' || c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  return value.empty() ? "-" : value;
}

}  // namespace

int PortsCommand() {
  std::printf("port\tdevice\tby-id\tvendor\tproduct\tserial\tmanufacturer\tname\n");
  for (const SerialDeviceInfo& info : DescribeSerialDevices()) {
    const std::string port = info.portNumber > 0 ? std::to_string(info.portNumber) : "-";
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", port.c_str(), info.device.c_str(), Field(info.byId).c_str(),
                Field(info.vendorId).c_str(), Field(info.productId).c_str(), Field(info.serial).c_str(),
                Field(info.manufacturer).c_str(), Field(info.product).c_str());
  }
  return kExitSuccess;
}

}  // namespace tw
