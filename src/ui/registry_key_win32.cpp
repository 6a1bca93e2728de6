// The real registry, through the ANSI calls.

#include <windows.h>

#include "ui/registry_key_backend.h"

namespace tw::registry {

namespace {

HKEY RootHandle(std::uint32_t rootKey) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(rootKey)); }

HKEY Handle(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

REGSAM AccessMask(Access access) {
  switch (access) {
    case Access::QueryValue:
      return KEY_QUERY_VALUE;
    case Access::Read:
      return KEY_READ;
    case Access::AllAccess:
      break;
  }
  return KEY_ALL_ACCESS;
}

}  // namespace

long OpenKey(std::uint32_t rootKey, const std::string& subKey, Access access, KeyHandle& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(RootHandle(rootKey), subKey.c_str(), 0, AccessMask(access), &opened);
  key = reinterpret_cast<KeyHandle>(opened);
  return result;
}

long CreateKey(std::uint32_t rootKey, const std::string& subKey, KeyHandle& key) {
  HKEY created = nullptr;
  DWORD disposition = 0;
  const LONG result = RegCreateKeyExA(RootHandle(rootKey), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &created, &disposition);
  key = reinterpret_cast<KeyHandle>(created);
  return result;
}

long QueryValueType(KeyHandle key, const std::string& valueName, std::uint32_t& type) {
  DWORD valueType = 0;
  const LONG result = RegQueryValueExA(Handle(key), valueName.c_str(), nullptr, &valueType, nullptr, nullptr);
  type = valueType;
  return result;
}

long QueryValue(KeyHandle key, const std::string& valueName, char* buffer, std::uint32_t& size) {
  DWORD bytes = size;
  const LONG result =
      RegQueryValueExA(Handle(key), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
  size = bytes;
  return result;
}

void CloseKey(KeyHandle key) { RegCloseKey(Handle(key)); }

}  // namespace tw::registry
