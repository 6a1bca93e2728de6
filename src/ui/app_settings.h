#pragma once

#include <QString>

#include <map>
#include <string>

namespace tw {

// The program's one persistent setting, the last folder chosen in the file tree, as a profile string in
// the per-user settings file (an INI file on Linux, the registry on Windows).
class AppSettings {
 public:
  static constexpr const char* kSection = "Setting";
  static constexpr const char* kLastDirEntry = "Last Dir";

  // Points every later access at this INI file; an empty path returns to the per-user file.
  // Tests use it so that nothing touches the real user's settings.
  static void UseFile(const QString& iniPath);

  // "" when the entry is absent.
  [[nodiscard]] static QString GetProfileString(const QString& section, const QString& entry);
  // A failed write is not reported; the setting is a convenience only.
  static void WriteProfileString(const QString& section, const QString& entry, const QString& value);

  [[nodiscard]] static QString ReadLastDir();
  // The [Ports] entries COM1..COM5: port number to the device a user assigned to it.
  [[nodiscard]] static std::map<int, std::string> ReadPortDevices();
  // Stores the folder of a tree node path: the file's folder, or the folder itself without its trailing
  // separator. Connect the tree's SelChanged signal here.
  static void StoreLastDir(const QString& nodePath);

  // Everything before the last separator found at an index of at least 1, else "".
  [[nodiscard]] static QString FolderOfNodePath(const QString& nodePath);
};

}  // namespace tw
