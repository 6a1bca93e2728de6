// The serial devices of a POSIX system: the port numbers' order, and what /dev and sysfs tell of each.

#include <dirent.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "link/serial_backend.h"
#include "link/serial_device_info.h"

namespace tw {

namespace {

struct DeviceFamily {
  std::string_view prefix;
  bool checkType;  // ttyS* nodes exist for every possible UART; sysfs type 0 means none is fitted
};

constexpr std::array<DeviceFamily, 3> kFamilies{{{"ttyUSB", false}, {"ttyACM", false}, {"ttyS", true}}};

bool UartFitted(const std::filesystem::path& root, const std::string& name) {
  std::ifstream type(root / "sys/class/tty" / name / "type");
  int value = -1;
  return !(type >> value) || value != 0;
}

// Paths as the system names them ("/dev/ttyUSB0"), whatever the root they were found under.
std::vector<std::string> DevicesOf(const std::filesystem::path& root, const DeviceFamily& family) {
  std::vector<std::pair<long, std::string>> found;
  if (DIR* dir = ::opendir((root / "dev").c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (!name.starts_with(family.prefix) || name.size() == family.prefix.size()) {
        continue;
      }
      const std::string digits = name.substr(family.prefix.size());
      if (digits.find_first_not_of("0123456789") != std::string::npos) {
        continue;
      }
      if (!family.checkType || UartFitted(root, name)) {
        found.emplace_back(std::strtol(digits.c_str(), nullptr, 10), "/dev/" + name);
      }
    }
    ::closedir(dir);
  }
  std::sort(found.begin(), found.end());  // by number: ttyUSB2 before ttyUSB10
  std::vector<std::string> paths;
  paths.reserve(found.size());
  for (auto& entry : found) {
    paths.push_back(std::move(entry.second));
  }
  return paths;
}

std::vector<std::string> DevicesUnder(const std::filesystem::path& root) {
  std::vector<std::string> all;
  for (const auto& family : kFamilies) {
    auto some = DevicesOf(root, family);
    all.insert(all.end(), some.begin(), some.end());
  }
  return all;
}

// The device under root: "/dev/ttyUSB0" in a test tree.
std::filesystem::path UnderRoot(const std::filesystem::path& root, const std::string& device) {
  return root / std::filesystem::path(device).relative_path();
}

std::string ByIdName(const std::filesystem::path& root, const std::string& device) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::weakly_canonical(UnderRoot(root, device), error);
  for (const auto& link : std::filesystem::directory_iterator(root / "dev/serial/by-id", error)) {
    std::error_code ignored;
    if (std::filesystem::weakly_canonical(link.path(), ignored) == target) {
      return link.path().filename().string();
    }
  }
  return {};
}

std::string ReadLine(const std::filesystem::path& path) {
  std::string line;
  std::ifstream in(path);
  std::getline(in, line);
  return line;
}

// sysfs puts a tty of a USB adapter below its interface, below the USB device that has idVendor.
void DescribeUsb(const std::filesystem::path& root, const std::string& device, SerialDeviceInfo& info) {
  constexpr int kLevelsUp = 4;
  std::error_code error;
  std::filesystem::path folder =
      std::filesystem::canonical(root / "sys/class/tty" / std::filesystem::path(device).filename() / "device", error);
  for (int level = 0; !error && level < kLevelsUp && !folder.empty(); ++level, folder = folder.parent_path()) {
    if (std::filesystem::exists(folder / "idVendor", error)) {
      info.vendorId = ReadLine(folder / "idVendor");
      info.productId = ReadLine(folder / "idProduct");
      info.serial = ReadLine(folder / "serial");
      info.manufacturer = ReadLine(folder / "manufacturer");
      info.product = ReadLine(folder / "product");
      return;
    }
  }
}

}  // namespace

std::vector<std::string> ListSerialDevices() { return DevicesUnder("/"); }

std::vector<SerialDeviceInfo> DescribeSerialDevices(const std::filesystem::path& root) {
  std::vector<SerialDeviceInfo> infos = NumberDevices(DevicesUnder(root));
  for (SerialDeviceInfo& info : infos) {
    info.byId = ByIdName(root, info.device);
    DescribeUsb(root, info.device, info);
  }
  return infos;
}

}  // namespace tw
