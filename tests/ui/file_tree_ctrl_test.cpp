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

class FileTreeCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_home.isValid() && m_files.isValid());
    IsolateUser(m_home);
  }

  void listsSubfoldersFirstThenTheNineSpellingsSorted() {
    const QString base = MakeFolder(m_files.filePath("mixed"), {"b.mp3", "A.JPG", "c.Mp3", "d.mP3", "e.jpeg", "f.txt",
                                                                "g.GIF", "h.Jpg", "mp3", "z/", "a/", "a/x.jpg"});
    const auto tree = OpenTreeAt(base);
    QVERIFY(tree);
    QTreeWidgetItem* root = tree->topLevelItem(2);
    QCOMPARE(ChildTexts(root), QStringList({"a", "z", "A.JPG", "b.mp3", "c.Mp3", "g.GIF"}));
    QTreeWidgetItem* empty = root->child(1);
    QCOMPARE(CFileTreeCtrl::KindOf(empty->child(0)), CFileTreeCtrl::NodeKind::Placeholder);
    QCOMPARE(CFileTreeCtrl::KindOf(root->child(2)), CFileTreeCtrl::NodeKind::File);
    QCOMPARE(root->child(2)->childCount(), 0);
    empty->setExpanded(true);
    QCOMPARE(empty->childCount(), 0);

    // A folder's path keeps its separator while it has children, the placeholder included.
    const QString sep = QDir::separator();
    QCOMPARE(tree->GetItemPath(root), base + sep);
    QTreeWidgetItem* a = root->child(0);
    QCOMPARE(tree->GetItemPath(a), base + sep + "a" + sep);
    a->setExpanded(true);
    QCOMPARE(tree->GetItemPath(a->child(0)), base + sep + "a" + sep + "x.jpg");
    QCOMPARE(tree->GetItemPath(a), base + sep + "a" + sep);
    QCOMPARE(tree->GetItemPath(empty), base + sep + "z");
    QCOMPARE(tree->GetItemPath(nullptr), QString());
    QCOMPARE(tree->GetItemPath(tree->topLevelItem(1)), QString());
  }

  void collapseDiscardsAndReexpansionRereads() {
    const QString folder = MakeFolder(m_files.filePath("again"), {"one.mp3", "sub/deep.mp3"});
    const auto tree = OpenTreeAt(folder);
    QVERIFY(tree);
    QTreeWidgetItem* root = tree->topLevelItem(2);
    ChildNamed(root, "sub")->setExpanded(true);
    tree->setCurrentItem(ChildNamed(ChildNamed(root, "sub"), "deep.mp3"));
    MakeFolder(folder, {"two.mp3"});
    QCOMPARE(ChildTexts(root), QStringList({"sub", "one.mp3"}));

    root->setExpanded(false);
    QCOMPARE(root->childCount(), 1);
    QCOMPARE(CFileTreeCtrl::KindOf(root->child(0)), CFileTreeCtrl::NodeKind::Placeholder);
    QCOMPARE(tree->currentItem(), root);  // the caret climbs out of the discarded branch

    root->setExpanded(true);
    QCOMPARE(ChildTexts(root), QStringList({"sub", "one.mp3", "two.mp3"}));
    QCOMPARE(ChildNamed(root, "sub")->childCount(), 1);  // read afresh: collapsed, with its placeholder

    // The selected paths leave out folders and roots.
    Click(*tree, tree->topLevelItem(1));
    for (const char* name : {"sub", "two.mp3", "one.mp3"}) {
      Click(*tree, ChildNamed(root, name), Qt::ControlModifier);
    }
    Click(*tree, root, Qt::ControlModifier);
    const QString sep = QDir::separator();
    QCOMPARE(tree->GetSelectedFilePaths(), QStringList({folder + sep + "one.mp3", folder + sep + "two.mp3"}));
  }

  void myComputerListsTheVolumesAnewOnEachExpansion() {
    const QString first = MakeFolder(m_files.filePath("vol1"), {"song.mp3"});
    const QString second = MakeFolder(m_files.filePath("vol2"), {});
    std::vector<tw::TreeVolume> volumes{{first + QDir::separator(), "Music Stick"}};
    const auto tree = OpenTreeAt(m_files.path());
    QVERIFY(tree);
    tree->SetVolumeLister([&volumes] { return volumes; });
    QTreeWidgetItem* computer = tree->topLevelItem(1);
    computer->setExpanded(true);
    QCOMPARE(ChildTexts(computer), QStringList({"Music Stick"}));
    QCOMPARE(tree->GetItemPath(computer->child(0)), first + QDir::separator());

    volumes.push_back({second + QDir::separator(), second});
    computer->setExpanded(false);
    computer->setExpanded(true);
    QCOMPARE(ChildTexts(computer), QStringList({"Music Stick", second}));
  }

  // The selection rules as one operator's session: each click (on a file, -1 the folder) or key (-2), and
  // what is selected after it, "*" marking the current node.
  void clicksAndKeysFollowTheSelectionRules() {
    const auto tree = OpenTreeAt(MakeFolder(m_files.filePath("five"), {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}));
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    const QString f = folder->text(0);
    struct Step {
      int node;
      Qt::KeyboardModifiers modifiers;
      Qt::Key key;
      QStringList selected;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::Key none = Qt::Key_unknown;
    const QList<Step> steps{
        {0, {}, none, {"*a"}},
        {2, ctrl, none, {"a", "*c"}},
        {4, ctrl, none, {"a", "c", "*e"}},
        {2, ctrl, none, {"a", "e"}},  // toggled off, the node stays current
        {4, ctrl, none, {"a"}},       // a node that is not current toggles too
        {1, {}, none, {"*b"}},
        {1, {}, none, {"*b"}},  // clicking the current node keeps it selected
        {3, shift, none, {"b", "c", "*d"}},
        {-1, shift, none, {"*" + f, "a", "b"}},  // the anchor stays at b, the far end moves above it
        {1, shift, none, {"*b"}},
        {-2, shift, Qt::Key_Down, {"b", "*c"}},
        {-2, shift, Qt::Key_Down, {"b", "c", "*d"}},
        {-2, shift, Qt::Key_Up, {"b", "*c"}},
        {-2, shift, Qt::Key_Up, {"*b"}},
        {-2, shift, Qt::Key_Up, {"*a", "b"}},
        {3, shift, none, {"b", "c", "*d"}},  // the anchor stays through the keys
        {3, {}, none, {"*d"}},
        {-2, shift, Qt::Key_Down, {"d", "*e"}},
        {-2, shift, Qt::Key_Down, {"d", "*e"}},  // nothing below the last node
        {2, ctrl, none, {"*c", "d", "e"}},
        {4, ctrl, none, {"c", "d"}},
        {-2, shift, Qt::Key_Down, {}},  // Ctrl dropped the anchor: the next Shift+arrow sets it, clearing
        {-2, shift, Qt::Key_Up, {"*d", "e"}},
        {-2, {}, Qt::Key_Shift, {"*d", "e"}},  // keys below the space bar keep the selection
        {-2, {}, Qt::Key_Tab, {"*d", "e"}},
        {1, ctrl, none, {"*b", "d", "e"}},
        {-2, {}, Qt::Key_Q, {"*b"}},  // a letter or an arrow clears the others
        {3, ctrl, none, {"b", "*d"}},
        {-2, {}, Qt::Key_Down, {"*e"}},
    };
    for (const Step& step : steps) {
      const QString was = step.selected.join(' ');
      if (step.node == -2) {
        QTest::keyClick(tree.get(), step.key, step.modifiers);
      } else {
        Click(*tree, step.node < 0 ? folder : folder->child(step.node), step.modifiers);
      }
      QStringList selected;
      for (auto* node = tree->GetFirstSelectedItem(); node != nullptr; node = tree->GetNextSelectedItem(node)) {
        selected << (node == tree->currentItem() ? "*" : "") + QString(node->text(0)).remove(".mp3");
      }
      QVERIFY2(selected == step.selected, qPrintable(selected.join(' ') + " instead of " + was));
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
    const QString s = QDir::separator();
    for (const QString& path : {s + "a.mp3", s, QString(), QString("a.mp3")}) {  // nodes outside a folder
      QVERIFY2(AppSettings::FolderOfNodePath(path).isEmpty(), qPrintable(path));
    }
  }

  // A stored folder is the third root in every tree test; with nothing stored it is the file system root.
  void rootsAreTheXdgDesktopMyComputerAndTheStoredFolder() {
    WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME/Bureau\"");
    AppSettings::WriteProfileString("Setting", "Last Dir", QString());
    CFileTreeCtrl tree;
    tree.Initialize(true);
    QCOMPARE(tree.topLevelItemCount(), 3);
    QCOMPARE(tree.GetItemPath(tree.topLevelItem(2)), QString(QDir::separator()));
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

QTEST_MAIN(FileTreeCtrlTest)
#include "file_tree_ctrl_test.moc"
