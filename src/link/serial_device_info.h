#pragma once
// What the ports listing tells about each serial device: the port number it answers to, its stable
// /dev/serial/by-id name, and for a USB adapter what sysfs says of it.

#include <filesystem>
#include <string>
#include <vector>

namespace tw {

// Port numbers 1..5 (COM 1..COM 5) reach the first five devices.
inline constexpr int kDevicePortNumbers = 5;

struct SerialDeviceInfo {
  int portNumber = 0;  // 1..5 for COM 1..COM 5; 0 for a device reached only by its path
  std::string device;  // /dev/ttyUSB0
  std::string byId;    // the /dev/serial/by-id link's name; empty without one
  // From the USB device in sysfs; empty for a device that is no USB adapter.
  std::string vendorId;
  std::string productId;
  std::string serial;
  std::string manufacturer;
  std::string product;
};

// The devices in port order, numbered; nothing more is known of them yet.
[[nodiscard]] std::vector<SerialDeviceInfo> NumberDevices(const std::vector<std::string>& devices);
// Every serial device, in port number order. root stands for "/" (tests give a tree of their own).
[[nodiscard]] std::vector<SerialDeviceInfo> DescribeSerialDevices(const std::filesystem::path& root = "/");

}  // namespace tw
