// The ports listing over a tree laid out as /dev and sysfs lay it out.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_fixture.h"
#include "link/serial_device_info.h"

namespace tw::test {
namespace {

using PortsTest = CliTest;

void WriteLine(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text << "\n";
}

TEST_F(PortsTest, DevicesInPortOrderWithTheirByIdNameAndUsbDetails) {
  const fs::path root = m_dir / "root";
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyUSB3", "ttyUSB4", "ttyUSB5"}) {
    WriteLine(root / "dev" / name, "");
  }
  WriteLine(root / "sys/class/tty/ttyS0/type", "4");
  WriteLine(root / "sys/class/tty/ttyS1/type", "0");  // no UART fitted
  const fs::path usb = root / "sys/devices/pci0000:00/usb1/1-1";
  for (const auto& [file, value] :
       {std::pair{"idVendor", "0403"}, std::pair{"idProduct", "6001"}, std::pair{"serial", "A1B2C3"},
        std::pair{"manufacturer", "FTDI"}, std::pair{"product", "FT232R USB UART"}}) {
    WriteLine(usb / file, value);
  }
  fs::create_directories(usb / "1-1:1.0/ttyUSB2");
  fs::create_directories(root / "sys/class/tty/ttyUSB2");
  fs::create_directory_symlink(usb / "1-1:1.0/ttyUSB2", root / "sys/class/tty/ttyUSB2/device");
  fs::create_directories(root / "dev/serial/by-id");
  fs::create_symlink("../../ttyUSB2", root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");

  const std::vector<SerialDeviceInfo> found = DescribeSerialDevices(root);
  std::vector<std::string> devices;
  devices.reserve(found.size());
  for (const SerialDeviceInfo& info : found) {
    devices.push_back(std::to_string(info.portNumber) + " " + info.device);
  }
  EXPECT_EQ(devices, (std::vector<std::string>{"1 /dev/ttyUSB2", "2 /dev/ttyUSB3", "3 /dev/ttyUSB4", "4 /dev/ttyUSB5",
                                               "5 /dev/ttyUSB10", "0 /dev/ttyACM0", "0 /dev/ttyS0"}));
  ASSERT_GE(found.size(), 2u);
  const SerialDeviceInfo& adapter = found.front();
  EXPECT_EQ(adapter.byId + " " + adapter.vendorId + ":" + adapter.productId + " " + adapter.serial + " " +
                adapter.manufacturer + " / " + adapter.product,
            "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0 0403:6001 A1B2C3 FTDI / FT232R USB UART");
  EXPECT_EQ(found[1].byId + found[1].vendorId, "");
}

}  // namespace
}  // namespace tw::test
