#include "ui/tree_volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <string_view>

namespace tw {

namespace {

constexpr std::array<std::string_view, 14> kPseudoFileSystems = {
    "autofs", "binfmt_misc", "bpf",     "cgroup", "cgroup2", "configfs", "debugfs",
    "devpts", "devtmpfs",    "fusectl", "mqueue", "proc",    "squashfs", "sysfs"};

// Kernel and runtime trees hold nothing to send to the box.
constexpr std::array<std::string_view, 4> kSystemMountPrefixes = {"/proc", "/sys", "/dev", "/run"};

bool IsPseudo(const QStorageInfo& volume) {
  const QByteArray type = volume.fileSystemType();
  const std::string_view typeView(type.constData(), static_cast<std::size_t>(type.size()));
  if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), typeView) != kPseudoFileSystems.end()) {
    return true;
  }
  const QString mountPoint = volume.rootPath();
  return std::any_of(kSystemMountPrefixes.begin(), kSystemMountPrefixes.end(), [&](std::string_view prefix) {
    const QString folder = QString::fromLatin1(prefix.data(), static_cast<qsizetype>(prefix.size()));
    return mountPoint == folder || mountPoint.startsWith(folder + QLatin1Char('/'));
  });
}

TreeVolume MakeVolume(const QStorageInfo& volume) {
  QString root = QDir::toNativeSeparators(volume.rootPath());
  if (!root.endsWith(QDir::separator())) {
    root += QDir::separator();
  }
  const QString label = volume.name();
  return {root, label.isEmpty() ? QDir::toNativeSeparators(volume.rootPath()) : label};
}

}  // namespace

std::vector<TreeVolume> ListMountedVolumes() {
  const QStorageInfo systemRoot = QStorageInfo::root();
  std::vector<TreeVolume> volumes{MakeVolume(systemRoot)};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || volume.rootPath() == systemRoot.rootPath() || IsPseudo(volume) ||
        !QFileInfo(volume.rootPath()).isDir()) {
      continue;
    }
    volumes.push_back(MakeVolume(volume));
  }
  return volumes;
}

}  // namespace tw
