#pragma once

#include <cstdint>
#include <string>

// The registry calls CRegistryKey needs, one source file per platform: registry_key_win.cpp talks to the
// real registry, registry_key_xdg.cpp answers the desktop folder from the XDG user directories.
namespace tw::registry {

using KeyHandle = std::uintptr_t;

// Result codes with their Windows values, so both platforms report alike.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kMoreData = 234;

enum class Access { QueryValue, Read, AllAccess };

[[nodiscard]] long OpenKey(std::uint32_t rootKey, const std::string& subKey, Access access, KeyHandle& key);
[[nodiscard]] long CreateKey(std::uint32_t rootKey, const std::string& subKey, KeyHandle& key);
[[nodiscard]] long QueryValueType(KeyHandle key, const std::string& valueName, std::uint32_t& type);
// size: the buffer's size on entry, the bytes stored (terminating NUL included) on success.
[[nodiscard]] long QueryValue(KeyHandle key, const std::string& valueName, char* buffer, std::uint32_t& size);
void CloseKey(KeyHandle key);

}  // namespace tw::registry
