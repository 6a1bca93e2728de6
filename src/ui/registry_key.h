#pragma once

#include <cstdint>
#include <string>

namespace tw {

// Predefined root keys, by their handle values; only the first four are accepted as roots.
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;

// Registry value types that ReadString accepts.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;

// The per-user key that names the desktop folder, and its value.
inline constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kDesktopValue = "Desktop";

// Reads string values from one registry key. Holds no open handle: every operation opens what it needs
// and closes it before returning. Failures are quiet: false, type 0 or the caller's default.
// On Linux the Shell Folders "Desktop" value comes from the XDG user directories.
class CRegistryKey {
 public:
  CRegistryKey() = default;
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // Refuses anything but the four accepted roots and then keeps the previous one.
  bool SetRootKey(std::uint32_t rootKey);
  // An empty path clears the sub-key and succeeds; otherwise the key must open (or be created).
  bool SetKey(const std::string& subKey, bool create);
  // The value's registry type, 0 on any failure.
  [[nodiscard]] std::uint32_t GetValueType(const std::string& valueName);
  // The value unexpanded, or the default when it is missing, not a string or longer than 254 bytes.
  [[nodiscard]] std::string ReadString(const std::string& valueName, const std::string& defaultValue);
  // Back to the current user's root and no sub-key; the last error stays.
  void Reset();

  [[nodiscard]] long GetLastError() const { return m_lastError; }
  [[nodiscard]] std::uint32_t GetRootKey() const { return m_rootKey; }
  [[nodiscard]] const std::string& GetKey() const { return m_subKey; }

 private:
  long m_lastError = 0;
  std::uint32_t m_rootKey = kHkeyCurrentUser;
  std::string m_subKey;
};

}  // namespace tw
