#include "ui/registry_key.h"

#include <array>

#include "ui/registry_key_backend.h"

namespace tw {

namespace {

// The value buffer is 256 bytes, of which the query may fill 255 including the NUL.
constexpr std::uint32_t kValueBufferSize = 256;
constexpr std::uint32_t kValueQuerySize = kValueBufferSize - 1;

bool IsAcceptedRoot(std::uint32_t rootKey) { return rootKey >= kHkeyClassesRoot && rootKey <= kHkeyUsers; }

}  // namespace

CRegistryKey::~CRegistryKey() { Reset(); }

bool CRegistryKey::SetRootKey(std::uint32_t rootKey) {
  if (!IsAcceptedRoot(rootKey)) {
    return false;
  }
  m_rootKey = rootKey;
  return true;
}

bool CRegistryKey::SetKey(const std::string& subKey, bool create) {
  if (subKey.empty()) {
    m_subKey.clear();
    return true;
  }
  registry::KeyHandle key = 0;
  if (create) {
    // The create path leaves the last error alone.
    if (registry::CreateKey(m_rootKey, subKey, key) != registry::kSuccess) {
      return false;
    }
  } else {
    m_lastError = registry::OpenKey(m_rootKey, subKey, registry::Access::AllAccess, key);
    if (m_lastError != registry::kSuccess) {
      return false;
    }
  }
  m_subKey = subKey;
  registry::CloseKey(key);
  return true;
}

std::uint32_t CRegistryKey::GetValueType(const std::string& valueName) {
  registry::KeyHandle key = 0;
  m_lastError = registry::OpenKey(m_rootKey, m_subKey, registry::Access::QueryValue, key);
  if (m_lastError != registry::kSuccess) {
    return 0;
  }
  std::uint32_t type = 0;
  m_lastError = registry::QueryValueType(key, valueName, type);
  registry::CloseKey(key);
  return m_lastError == registry::kSuccess ? type : 0;
}

std::string CRegistryKey::ReadString(const std::string& valueName, const std::string& defaultValue) {
  const std::uint32_t type = GetValueType(valueName);
  if (type != kRegSz && type != kRegExpandSz) {
    return defaultValue;
  }
  registry::KeyHandle key = 0;
  m_lastError = registry::OpenKey(m_rootKey, m_subKey, registry::Access::Read, key);
  if (m_lastError != registry::kSuccess) {
    return defaultValue;
  }
  std::array<char, kValueBufferSize> buffer{};
  std::uint32_t size = kValueQuerySize;
  m_lastError = registry::QueryValue(key, valueName, buffer.data(), size);
  registry::CloseKey(key);
  if (m_lastError != registry::kSuccess) {
    return defaultValue;
  }
  return std::string(buffer.data());
}

void CRegistryKey::Reset() {
  m_subKey.clear();
  m_rootKey = kHkeyCurrentUser;
}

}  // namespace tw
