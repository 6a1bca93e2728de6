#pragma once

// For the tree and list tests: a throw-away home and settings file, folders of empty files, tree clicks.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "ui/app_settings.h"
#include "ui/file_tree_ctrl.h"

namespace tw::test {

// HOME, the XDG config folder and the settings file in `home`: no test touches the real user's files.
inline void IsolateUser(const QTemporaryDir& home) {
  qputenv("HOME", QFile::encodeName(home.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  QDir(home.path()).mkpath(QStringLiteral("config"));
  AppSettings::UseFile(home.filePath(QStringLiteral("tarnwick.ini")));
}

// Creates `folder` with an empty file for every name (a folder for a name ending in "/"), subfolders too.
inline QString MakeFolder(const QString& folder, const QStringList& names) {
  QDir().mkpath(folder);
  for (const QString& name : names) {
    const QString path = QDir(folder).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());  // the folder itself for a name ending in "/"
    if (!name.endsWith(QLatin1Char('/'))) {
      QFile(path).open(QIODevice::WriteOnly);
    }
  }
  return QDir::toNativeSeparators(folder);
}

// A shown tree whose third root is `lastFolder`, expanded.
inline std::unique_ptr<CFileTreeCtrl> OpenTreeAt(const QString& lastFolder) {
  AppSettings::WriteProfileString(QString::fromLatin1(AppSettings::kSection),
                                  QString::fromLatin1(AppSettings::kLastDirEntry), lastFolder);
  auto tree = std::make_unique<CFileTreeCtrl>();
  tree->resize(400, 700);
  tree->Initialize(true);
  tree->show();
  if (!QTest::qWaitForWindowExposed(tree.get())) {
    return nullptr;
  }
  tree->topLevelItem(2)->setExpanded(true);
  return tree;
}

inline QStringList ChildTexts(const QTreeWidgetItem* node) {
  QStringList texts;
  for (int i = 0; i < node->childCount(); ++i) {
    texts.append(node->child(i)->text(0));
  }
  return texts;
}

inline QTreeWidgetItem* ChildNamed(const QTreeWidgetItem* node, const QString& text) {
  return node->child(static_cast<int>(ChildTexts(node).indexOf(text)));  // null when there is none
}

inline void Click(QTreeWidget& view, QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.visualItemRect(node).center());
}

}  // namespace tw::test
