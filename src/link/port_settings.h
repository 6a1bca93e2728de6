#pragma once
// The [Ports] section of the per-user settings file: COM1..COM5 mapped to a device path or
// "tcp:HOST:PORT", for machines with more than five serial devices or an adapter kept on COM 1.

#include <filesystem>
#include <map>
#include <string>

namespace tw {

// $XDG_CONFIG_HOME/Tarnwick/tarnwick.ini, else ~/.config/Tarnwick/tarnwick.ini (on Windows under
// %APPDATA%); empty when no home is known.
[[nodiscard]] std::filesystem::path DefaultSettingsFile();

// Port number to device, from the file's [Ports] section; nothing for a missing file or entry.
[[nodiscard]] std::map<int, std::string> ReadPortSettings(const std::filesystem::path& iniFile);

}  // namespace tw
