#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tree_test_env.h"
#include "ui/file_tree_ctrl.h"

using tw::CFileTreeCtrl;
using namespace tw::test;

class FileTreeCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_home.isValid());
    QVERIFY(m_files.isValid());
    IsolateUser(m_home);
  }

  void listsOnlyTheNineSpellingsSorted() {
    const auto tree = OpenTreeAt(MakeFolder(
        m_files.filePath("mixed"), {"b.mp3", "A.JPG", "c.Mp3", "d.mP3", "e.jpeg", "f.txt", "g.GIF", "h.Jpg", "mp3"}));
    QVERIFY(tree);
    QCOMPARE(ChildTexts(tree->topLevelItem(2)), QStringList({"A.JPG", "b.mp3", "c.Mp3", "g.GIF"}));
  }

  void listsSubfoldersFirstEachWithAPlaceholder() {
    const auto tree = OpenTreeAt(MakeFolder(m_files.filePath("order"), {"x.gif", "z/", "a/", "b.bmp"}));
    QVERIFY(tree);
    QTreeWidgetItem* root = tree->topLevelItem(2);
    QCOMPARE(ChildTexts(root), QStringList({"a", "z", "b.bmp", "x.gif"}));
    QTreeWidgetItem* emptyFolder = root->child(0);
    QCOMPARE(emptyFolder->childCount(), 1);
    QCOMPARE(CFileTreeCtrl::KindOf(emptyFolder->child(0)), CFileTreeCtrl::NodeKind::Placeholder);
    QCOMPARE(CFileTreeCtrl::KindOf(root->child(2)), CFileTreeCtrl::NodeKind::File);
    QVERIFY(root->child(2)->childCount() == 0);

    emptyFolder->setExpanded(true);
    QCOMPARE(emptyFolder->childCount(), 0);
  }

  void folderPathKeepsItsSeparatorWhileItHasChildren() {
    const QString base = MakeFolder(m_files.filePath("paths"), {"Pics/x.jpg", "Pics/Empty/"});
    const auto tree = OpenTreeAt(base);
    QVERIFY(tree);
    const QString sep = QDir::separator();
    QTreeWidgetItem* root = tree->topLevelItem(2);
    QCOMPARE(tree->GetItemPath(root), base + sep);
    QTreeWidgetItem* pics = ChildNamed(root, "Pics");
    QVERIFY(pics);
    QCOMPARE(tree->GetItemPath(pics), base + sep + "Pics" + sep);

    pics->setExpanded(true);
    QCOMPARE(tree->GetItemPath(ChildNamed(pics, "x.jpg")), base + sep + "Pics" + sep + "x.jpg");
    QCOMPARE(tree->GetItemPath(pics), base + sep + "Pics" + sep);
    QTreeWidgetItem* empty = ChildNamed(pics, "Empty");
    empty->setExpanded(true);
    QCOMPARE(tree->GetItemPath(empty), base + sep + "Pics" + sep + "Empty");
    QCOMPARE(tree->GetItemPath(nullptr), QString());
    QCOMPARE(tree->GetItemPath(tree->topLevelItem(1)), QString());
    QCOMPARE(tree->GetItemPath(tree->topLevelItem(1)->child(0)), QString());
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
  }

  void myComputerListsTheVolumesAnewOnEachExpansion() {
    const QString first = MakeFolder(m_files.filePath("vol1"), {"song.mp3"});
    const QString second = MakeFolder(m_files.filePath("vol2"), {});
    std::vector<tw::TreeVolume> volumes{{first + QDir::separator(), "Music Stick"}};
    const auto tree = OpenTreeAt(m_files.path());
    QVERIFY(tree);
    tree->SetVolumeLister([&volumes] { return volumes; });
    QTreeWidgetItem* computer = tree->topLevelItem(1);
    QCOMPARE(computer->text(0), QString("My Computer"));
    computer->setExpanded(true);
    QCOMPARE(ChildTexts(computer), QStringList({"Music Stick"}));
    QTreeWidgetItem* stick = computer->child(0);
    QCOMPARE(tree->GetItemPath(stick), first + QDir::separator());
    stick->setExpanded(true);
    QCOMPARE(tree->GetItemPath(stick->child(0)), first + QDir::separator() + "song.mp3");

    volumes.push_back({second + QDir::separator(), second});
    computer->setExpanded(false);
    computer->setExpanded(true);
    QCOMPARE(ChildTexts(computer), QStringList({"Music Stick", second}));

    volumes.clear();
    computer->setExpanded(false);
    computer->setExpanded(true);
    QCOMPARE(computer->childCount(), 0);
  }

  void ctrlClickTogglesOneNodeAndKeepsTheOthers() {
    const auto tree = FiveFileTree();
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    Click(*tree, folder->child(0));
    Click(*tree, folder->child(2), Qt::ControlModifier);
    Click(*tree, folder->child(4), Qt::ControlModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"a.mp3", "c.mp3", "e.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(4));

    Click(*tree, folder->child(2), Qt::ControlModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"a.mp3", "e.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(2));

    Click(*tree, folder->child(4), Qt::ControlModifier);  // the toggle also works on a node that is not current
    QCOMPARE(SelectedTexts(*tree), QStringList({"a.mp3"}));
  }

  void shiftClickSelectsFromTheAnchorToTheClickedNode() {
    const auto tree = FiveFileTree();
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    Click(*tree, folder->child(1));
    Click(*tree, folder->child(3), Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3", "c.mp3", "d.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(3));

    // The anchor stays at b: the far end moves, above it this time.
    Click(*tree, folder, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({folder->text(0), "a.mp3", "b.mp3"}));
    QCOMPARE(tree->currentItem(), folder);

    Click(*tree, folder->child(1), Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3"}));
  }

  void shiftArrowsExtendAndShrinkTheRange() {
    const auto tree = FiveFileTree();
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    Click(*tree, folder->child(2));
    QTest::keyClick(tree.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(tree.get(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"c.mp3", "d.mp3", "e.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(4));

    QTest::keyClick(tree.get(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"c.mp3", "d.mp3"}));
    QTest::keyClick(tree.get(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(tree.get(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3", "c.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(1));

    // A Shift+click continues from the anchor that the keys set.
    Click(*tree, folder->child(3), Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"c.mp3", "d.mp3"}));

    // Shift+Down on the last node changes nothing.
    Click(*tree, folder->child(3));
    QTest::keyClick(tree.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(tree.get(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"d.mp3", "e.mp3"}));
    QCOMPARE(tree->currentItem(), folder->child(4));

    // Ctrl drops the anchor; the next Shift+arrow sets it and clears the selection, even at the end.
    Click(*tree, folder->child(2), Qt::ControlModifier);
    Click(*tree, folder->child(4), Qt::ControlModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"c.mp3", "d.mp3"}));
    QTest::keyClick(tree.get(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList());
    QCOMPARE(tree->currentItem(), folder->child(4));
    QTest::keyClick(tree.get(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(SelectedTexts(*tree), QStringList({"d.mp3", "e.mp3"}));
  }

  void plainClickAndLetterKeyClearTheOtherSelectionsOtherKeysKeepThem() {
    const auto tree = FiveFileTree();
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    Click(*tree, folder->child(0));
    Click(*tree, folder->child(2), Qt::ControlModifier);
    Click(*tree, folder->child(1));
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3"}));

    Click(*tree, folder->child(1));  // clicking the current node keeps it selected
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3"}));

    Click(*tree, folder->child(3), Qt::ControlModifier);
    QTest::keyClick(tree.get(), Qt::Key_Q);
    QCOMPARE(SelectedTexts(*tree), QStringList({"d.mp3"}));

    Click(*tree, folder->child(1), Qt::ControlModifier);
    QTest::keyClick(tree.get(), Qt::Key_Down);
    QCOMPARE(SelectedTexts(*tree), QStringList({"c.mp3"}));

    // Keys below the space bar keep the selection.
    Click(*tree, folder->child(1));
    Click(*tree, folder->child(3), Qt::ControlModifier);
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Backspace, Qt::Key_Tab}) {
      QTest::keyClick(tree.get(), key);
    }
    QCOMPARE(SelectedTexts(*tree), QStringList({"b.mp3", "d.mp3"}));
  }

  void selectedFilePathsLeaveOutFoldersAndRoots() {
    const QString base = MakeFolder(m_files.filePath("pick"), {"a.mp3", "b.JPG", "sub/"});
    const auto tree = OpenTreeAt(base);
    QVERIFY(tree);
    QTreeWidgetItem* folder = tree->topLevelItem(2);
    Click(*tree, tree->topLevelItem(1));
    Click(*tree, folder, Qt::ControlModifier);
    Click(*tree, ChildNamed(folder, "sub"), Qt::ControlModifier);
    Click(*tree, ChildNamed(folder, "b.JPG"), Qt::ControlModifier);
    Click(*tree, ChildNamed(folder, "a.mp3"), Qt::ControlModifier);
    QCOMPARE(SelectedTexts(*tree).size(), 5);
    const QString sep = QDir::separator();
    QCOMPARE(tree->GetSelectedFilePaths(), QStringList({base + sep + "a.mp3", base + sep + "b.JPG"}));
  }

 private:
  // A tree whose third root is a folder of five MP3 files a..e, for the selection rules.
  std::unique_ptr<CFileTreeCtrl> FiveFileTree() {
    return OpenTreeAt(MakeFolder(m_files.filePath("five"), {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}));
  }

  static QStringList SelectedTexts(const CFileTreeCtrl& tree) {
    QStringList texts;
    for (auto* node = tree.GetFirstSelectedItem(); node != nullptr; node = tree.GetNextSelectedItem(node)) {
      texts.append(node->text(0));
    }
    return texts;
  }

  QTemporaryDir m_home;
  QTemporaryDir m_files;
};

QTEST_MAIN(FileTreeCtrlTest)
#include "file_tree_ctrl_test.moc"
