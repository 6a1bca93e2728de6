// Linux has no registry: the one key the program reads, the current user's Shell Folders, is answered
// from the XDG user directories; every other key is absent and nothing can be created.

#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>

#include "ui/registry_key.h"
#include "ui/registry_key_backend.h"

namespace tw::registry {

namespace {

constexpr KeyHandle kRootHandle = 1;
constexpr KeyHandle kShellFoldersHandle = 2;

// Registry names compare without regard to case.
bool SameName(const std::string& a, const char* b) {
  return QString::fromStdString(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

long Resolve(std::uint32_t rootKey, const std::string& subKey, KeyHandle& key) {
  if (rootKey < kHkeyClassesRoot || rootKey > kHkeyCurrentConfig) {
    return kFileNotFound;
  }
  if (subKey.empty()) {
    key = kRootHandle;
    return kSuccess;
  }
  if (rootKey == kHkeyCurrentUser && SameName(subKey, kShellFoldersKey)) {
    key = kShellFoldersHandle;
    return kSuccess;
  }
  return kFileNotFound;
}

// The desktop as the shell keeps it: an expanded path, absent when the XDG lookup gives nothing.
std::optional<std::string> DesktopFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (folder.isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(folder).toStdString();
}

std::optional<std::string> ValueOf(KeyHandle key, const std::string& valueName) {
  if (key != kShellFoldersHandle || !SameName(valueName, kDesktopValue)) {
    return std::nullopt;
  }
  return DesktopFolder();
}

}  // namespace

long OpenKey(std::uint32_t rootKey, const std::string& subKey, Access /*access*/, KeyHandle& key) {
  return Resolve(rootKey, subKey, key);
}

long CreateKey(std::uint32_t rootKey, const std::string& subKey, KeyHandle& key) {
  return Resolve(rootKey, subKey, key) == kSuccess ? kSuccess : kAccessDenied;
}

long QueryValueType(KeyHandle key, const std::string& valueName, std::uint32_t& type) {
  if (!ValueOf(key, valueName)) {
    return kFileNotFound;
  }
  type = kRegSz;
  return kSuccess;
}

long QueryValue(KeyHandle key, const std::string& valueName, char* buffer, std::uint32_t& size) {
  const std::optional<std::string> value = ValueOf(key, valueName);
  if (!value) {
    return kFileNotFound;
  }
  const std::size_t bytes = value->size() + 1;
  if (bytes > size) {
    return kMoreData;
  }
  std::memcpy(buffer, value->c_str(), bytes);
  size = static_cast<std::uint32_t>(bytes);
  return kSuccess;
}

void CloseKey(KeyHandle /*key*/) {}

}  // namespace tw::registry
