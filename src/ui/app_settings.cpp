#include "ui/app_settings.h"

#include <QDir>
#include <QSettings>

#include <memory>

namespace tw {

namespace {

constexpr const char* kOrganisation = "Tarnwick";
constexpr const char* kApplication = "tarnwick";

QString& OverrideFile() {
  static QString path;
  return path;
}

std::unique_ptr<QSettings> OpenSettings() {
  if (!OverrideFile().isEmpty()) {
    return std::make_unique<QSettings>(OverrideFile(), QSettings::IniFormat);
  }
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication);
}

QString KeyOf(const QString& section, const QString& entry) { return section + QLatin1Char('/') + entry; }

}  // namespace

std::map<int, std::string> AppSettings::ReadPortDevices() {
  constexpr int kNamedPorts = 5;
  std::map<int, std::string> devices;
  for (int port = 1; port <= kNamedPorts; ++port) {
    const QString device = GetProfileString(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(port));
    if (!device.isEmpty()) {
      devices[port] = device.toStdString();
    }
  }
  return devices;
}

void AppSettings::UseFile(const QString& iniPath) { OverrideFile() = iniPath; }

QString AppSettings::GetProfileString(const QString& section, const QString& entry) {
  return OpenSettings()->value(KeyOf(section, entry)).toString();
}

void AppSettings::WriteProfileString(const QString& section, const QString& entry, const QString& value) {
  const auto settings = OpenSettings();
  settings->setValue(KeyOf(section, entry), value);
  settings->sync();
}

QString AppSettings::ReadLastDir() {
  return GetProfileString(QString::fromLatin1(kSection), QString::fromLatin1(kLastDirEntry));
}

void AppSettings::StoreLastDir(const QString& nodePath) {
  WriteProfileString(QString::fromLatin1(kSection), QString::fromLatin1(kLastDirEntry), FolderOfNodePath(nodePath));
}

QString AppSettings::FolderOfNodePath(const QString& nodePath) {
  const QChar separator = QDir::separator();
  qsizetype index = nodePath.size() - 1;
  while (index > 0 && nodePath.at(index) != separator) {
    --index;
  }
  return index > 0 ? nodePath.left(index) : QString();
}

}  // namespace tw
