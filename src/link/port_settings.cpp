#include "link/port_settings.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace tw {

namespace {

constexpr int kNamedPorts = 5;
constexpr std::string_view kSection = "[Ports]";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// "COM3" (any case) as 3; 0 for anything else.
int PortNumberOf(std::string_view key) {
  if (key.size() != 4 || (key[0] != 'C' && key[0] != 'c') || (key[1] != 'O' && key[1] != 'o') ||
      (key[2] != 'M' && key[2] != 'm') || key[3] < '1' || key[3] > '0' + kNamedPorts) {
    return 0;
  }
  return key[3] - '0';
}

// A value the settings library wrote in quotes, because of a character it treats specially.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::filesystem::path DefaultSettingsFile() {
#ifdef _WIN32
  const char* base = std::getenv("APPDATA");
  return base != nullptr ? std::filesystem::path(base) / "Tarnwick" / "tarnwick.ini" : std::filesystem::path();
#else
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
    return std::filesystem::path(config) / "Tarnwick" / "tarnwick.ini";
  }
  const char* home = std::getenv("HOME");
  return home != nullptr ? std::filesystem::path(home) / ".config" / "Tarnwick" / "tarnwick.ini"
                         : std::filesystem::path();
#endif
}

std::map<int, std::string> ReadPortSettings(const std::filesystem::path& iniFile) {
  std::map<int, std::string> ports;
  std::ifstream file(iniFile);
  bool inSection = false;
  for (std::string line; std::getline(file, line);) {
    const std::string_view text = Trim(line);
    if (text.starts_with('[')) {
      inSection = text == kSection;
      continue;
    }
    const auto equals = text.find('=');
    if (!inSection || equals == std::string_view::npos) {
      continue;
    }
    const int port = PortNumberOf(Trim(text.substr(0, equals)));
    const std::string_view device = Unquote(Trim(text.substr(equals + 1)));
    if (port != 0 && !device.empty()) {
      ports[port] = std::string(device);
    }
  }
  return ports;
}

}  // namespace tw
