#include "link/port_settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace tw {
namespace {

TEST(PortSettings, TakesComEntriesOfThePortsSectionOnly) {
  const test::TempDir dir;
  const auto ini = dir.Path() / "tarnwick.ini";
  std::ofstream(ini) << "[Setting]\nCOM1=/dev/not-this\n\n[Ports]\r\n"
                        "COM1 = /dev/serial/by-id/usb-FTDI-if00-port0\r\n"
                        "com3=\"tcp:192.0.2.10:4001\"\n"
                        "COM6=/dev/ttyUSB9\nCOM2=\nCOMX=/dev/ttyS0\n; COM4=/dev/commented\n"
                        "[Other]\nCOM5=/dev/not-this-either\n";
  const std::map<int, std::string> expected{{1, "/dev/serial/by-id/usb-FTDI-if00-port0"}, {3, "tcp:192.0.2.10:4001"}};
  EXPECT_EQ(ReadPortSettings(ini), expected);
  EXPECT_TRUE(ReadPortSettings(dir.Path() / "missing.ini").empty());
}

}  // namespace
}  // namespace tw
