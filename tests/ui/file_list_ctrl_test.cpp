#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "tree_test_env.h"
#include "ui/file_icons.h"
#include "ui/file_list_ctrl.h"
#include "ui/selected_file.h"

using tw::CFileListCtrl;
using tw::SelectedFile;
using namespace tw::test;

class FileListCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_home.isValid() && m_files.isValid());
    IsolateUser(m_home);
  }

  void addsFilesWithTheirIconsAndKindsAgainWhenAddedAgain() {
    const QString sep = QDir::separator();
    const QString base = MakeFolder(m_files.filePath("kinds"), {"a.mp3", "b.JPG", "c.Mp3", "sub/"}) + sep;
    CFileListCtrl list;
    QVERIFY(list.AddFromTree({base + "a.mp3", base + "b.JPG", base + "c.Mp3"}).isEmpty());
    QCOMPARE(Texts(list), QStringList({"a.mp3", "b.JPG", "c.Mp3"}));
    QCOMPARE(QString::fromStdString(std::string(list.GetItemData(0)->Path())), base + "a.mp3");
    QCOMPARE(list.GetItemData(1)->isPhoto, 1);
    QCOMPARE(list.GetItemData(2)->isPhoto, 0);  // the list's own test ignores case
    const QSize iconSize(tw::kFileIconWidth, tw::kFileIconHeight);
    QCOMPARE(list.topLevelItem(0)->icon(0).pixmap(iconSize).toImage(), tw::NoteIcon().toImage());
    QCOMPARE(list.topLevelItem(1)->icon(0).pixmap(iconSize).toImage(), tw::CameraIcon().toImage());
    QVERIFY(tw::NoteIcon().toImage() != tw::CameraIcon().toImage());
    QCOMPARE(list.headerItem()->text(0), QString("Selected Files"));

    // Folder paths, with or without their separator, and empty paths name no file; a file added again is listed again.
    list.AddFromTree({base, base + "sub", QString(), base + "a.mp3"});
    QCOMPARE(Texts(list), QStringList({"a.mp3", "b.JPG", "c.Mp3", "a.mp3"}));
  }

  void deleteTheMenuAndADoubleClickRemoveExactlyThoseEntries() {
    const int before = SelectedFile::LiveCount();
    const auto list = ListOf(6);
    QVERIFY(list);
    for (const int row : {1, 3, 4}) {
      list->topLevelItem(row)->setSelected(true);
    }
    list->DeleteSelectedItems();
    QCOMPARE(Texts(*list), QStringList({"0.mp3", "2.mp3", "5.mp3"}));
    QCOMPARE(SelectedFile::LiveCount(), before + 3);

    list->topLevelItem(2)->setSelected(true);
    const auto menu = list->CreateContextMenu();
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QString("Delete"));
    menu->actions().first()->trigger();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(1)).center());
    QCOMPARE(Texts(*list), QStringList({"0.mp3"}));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));  // below
    QCOMPARE(list->GetItemCount(), 1);
    QVERIFY(list->DeleteItem(0));  // the batch's way: entry 0 goes after it was sent
    QVERIFY(!list->DeleteItem(7));
    QCOMPARE(SelectedFile::LiveCount(), before);
  }

  void downAndUpWrapRound() {
    const auto list = ListOf(4);
    QVERIFY(list);
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(3));
    QCOMPARE(SelectedRows(*list), QList<int>({3}));
    QTest::keyClick(list.get(), Qt::Key_Down);
    QCOMPARE(SelectedRows(*list), QList<int>({0}));
    QTest::keyClick(list.get(), Qt::Key_Up);
    QCOMPARE(SelectedRows(*list), QList<int>({3}));
    QTest::keyClick(list.get(), Qt::Key_Up);
    QCOMPARE(SelectedRows(*list), QList<int>({2}));  // no wrap inside the list
    QTest::keyClick(list.get(), Qt::Key_PageDown);
    QTest::keyClick(list.get(), Qt::Key_PageDown);
    QCOMPARE(SelectedRows(*list), QList<int>({0}));

    list->DeleteAllItems();
    QTest::keyClick(list.get(), Qt::Key_Down);
    QTest::keyClick(list.get(), Qt::Key_Up);
    QCOMPARE(list->GetItemCount(), 0);
  }

  void refusesPathsThatDoNotFitTheRecord() {
    CFileListCtrl list;
    const QString sep = QDir::separator();
    const QString longest = sep + QString(SelectedFile::kPathSize - 2 - 4, 'n') + ".mp3";  // 1023 bytes
    const QString tooLong = sep + QString(SelectedFile::kPathSize - 1 - 4, 'n') + ".mp3";  // 1024 bytes
    QCOMPARE(list.AddFromTree({longest, tooLong}), QStringList({tooLong}));
    QCOMPARE(list.GetItemCount(), 1);
    QCOMPARE(list.GetItemData(0)->Path().size(), SelectedFile::kPathSize - 1);
  }

 private:
  // A list of entries "0.mp3" .. "<count-1>.mp3" under the files folder.
  std::unique_ptr<CFileListCtrl> ListOf(int count) {
    auto list = std::make_unique<CFileListCtrl>();
    list->resize(200, 300);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
      paths.append(QDir::toNativeSeparators(m_files.filePath(QString("%1.mp3").arg(i))));
    }
    list->AddFromTree(paths);
    list->show();
    if (!QTest::qWaitForWindowExposed(list.get())) {
      return nullptr;
    }
    return list;
  }

  static QStringList Texts(const CFileListCtrl& list) {
    QStringList texts;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      texts.append(list.GetItemText(i));
    }
    return texts;
  }

  static QList<int> SelectedRows(const CFileListCtrl& list) {
    QList<int> rows;
    for (QTreeWidgetItem* item : list.selectedItems()) {
      rows.append(list.indexOfTopLevelItem(item));
    }
    return rows;
  }

  QTemporaryDir m_home;
  QTemporaryDir m_files;
};

QTEST_MAIN(FileListCtrlTest)
#include "file_list_ctrl_test.moc"
