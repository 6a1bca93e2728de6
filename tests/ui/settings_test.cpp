#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tree_test_env.h"
#include "ui/app_settings.h"
#include "ui/file_tree_ctrl.h"
#include "ui/registry_key.h"

using tw::AppSettings;
using tw::CFileTreeCtrl;
using tw::CRegistryKey;
using namespace tw::test;

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_home.isValid());
    QVERIFY(m_files.isValid());
    IsolateUser(m_home);
  }

  void nodesOutsideAFolderHaveNone() {
    const QString s = QDir::separator();
    for (const QString& path : {s + "a.mp3", s, QString(), QString("a.mp3")}) {
      QVERIFY2(AppSettings::FolderOfNodePath(path).isEmpty(), qPrintable(path));
    }
  }

  void selectingANodeStoresItsFolder() {
    const QString music = MakeFolder(m_files.filePath("Music"), {"a.mp3", "Live/"});
    const auto tree = OpenTreeAt(music);
    QVERIFY(tree);
    connect(tree.get(), &CFileTreeCtrl::SelChanged, &AppSettings::StoreLastDir);
    QTreeWidgetItem* folder = tree->topLevelItem(2);

    Click(*tree, ChildNamed(folder, "a.mp3"));
    QCOMPARE(AppSettings::ReadLastDir(), music);
    Click(*tree, ChildNamed(folder, "Live"));
    // A folder's path still ends in the separator (it has its placeholder), so the folder itself is stored.
    QCOMPARE(AppSettings::ReadLastDir(), music + QDir::separator() + "Live");
    QTest::keyClick(tree.get(), Qt::Key_Home);  // the keys store it too
    QCOMPARE(AppSettings::ReadLastDir(), AppSettings::FolderOfNodePath(tree->GetItemPath(tree->topLevelItem(0))));
  }

  // A stored folder is the third root in every tree test; with nothing stored it is the file system root.
  void withNothingStoredTheThirdRootIsTheFileSystemRoot() {
    AppSettings::WriteProfileString("Setting", "Last Dir", QString());
    CFileTreeCtrl tree;
    tree.Initialize(true);
    QCOMPARE(tree.topLevelItemCount(), 3);
    QCOMPARE(tree.GetItemPath(tree.topLevelItem(2)), QString(QDir::separator()));
  }

  void desktopRootIsTheXdgDesktopWhenItFits() {
    WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME/Bureau\"");
    CFileTreeCtrl tree;
    tree.Initialize(true);
    const QString desktop = QDir::toNativeSeparators(m_home.filePath("Bureau"));
    QCOMPARE(tree.topLevelItem(0)->text(0), QString("Bureau"));
    QCOMPARE(tree.GetItemPath(tree.topLevelItem(0)), desktop + QDir::separator());
    QCOMPARE(tree.topLevelItem(1)->text(0), QString("My Computer"));
    CRegistryKey key;
    QVERIFY(key.SetKey(tw::kShellFoldersKey, false));
    QCOMPARE(key.GetValueType("desktop"), tw::kRegSz);  // value names ignore case, as in the registry

    // 255 bytes and more do not fit the value buffer: the file system root stands in.
    WriteUserDirs("XDG_DESKTOP_DIR=\"/" + QByteArray(254, 'd') + "\"");
    tree.Initialize(true);
    QCOMPARE(tree.GetItemPath(tree.topLevelItem(0)), QDir::toNativeSeparators(QDir::rootPath()));
    WriteUserDirs("XDG_DESKTOP_DIR=\"/" + QByteArray(253, 'd') + "\"");
    QCOMPARE(key.ReadString("Desktop", "fallback"), "/" + std::string(253, 'd'));
  }

 private:
  void WriteUserDirs(const QByteArray& desktopLine) {
    QFile dirs(m_home.filePath("config/user-dirs.dirs"));
    QVERIFY(dirs.open(QIODevice::WriteOnly | QIODevice::Truncate));
    dirs.write("# written by the test\n" + desktopLine + "\n");
  }

  QTemporaryDir m_home;
  QTemporaryDir m_files;
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
