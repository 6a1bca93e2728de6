// The MP3 and photo batch from the dialog: files picked in the tree, listed with "->", sent by Start.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "controls/wait_dialog.h"
#include "loader_dlg_test_support.h"
#include "ui/app_settings.h"
#include "ui/file_list_ctrl.h"
#include "ui/file_tree_ctrl.h"
#include "ui/selected_file.h"

using namespace tw;

namespace {

// Stands in for the photo converter: a still picture and a full-size thumbnail, at once.
const char* const kFakeConverter =
    "#!/bin/sh\n"
    "printf 'still picture' > \"$2\"\n"
    "[ \"$3\" = 0 ] && head -c 12288 /dev/zero > \"$4/input2.ppm\"\n"
    "exit 0\n";

// Presses Exit as soon as the wait dialog appears (the first file's handshake has gone out).
class ExitWhenShown : public QObject {
 public:
  explicit ExitWhenShown(CLoaderDlg& dialog) : m_dialog(dialog) { dialog.WaitDialog().installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      QTimer::singleShot(0, &m_dialog, &CLoaderDlg::OnExit);
    }
    return false;
  }

 private:
  CLoaderDlg& m_dialog;
};

}  // namespace

class LoaderDlgBatchTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_settings.isValid() && m_media.isValid() && m_tools.isValid());
    AppSettings::UseFile(m_settings.filePath(QStringLiteral("tarnwick.ini")));
    // The listed folder becomes the tree's third root.
    AppSettings::WriteProfileString(AppSettings::kSection, AppSettings::kLastDirEntry, m_media.path());
    test::WriteFile(m_media.filePath(QStringLiteral("a.mp3")), std::string(3000, 'a'));
    test::WriteFile(m_media.filePath(QStringLiteral("b.mp3")), std::string(5000, 'b'));
    test::WriteFile(m_media.filePath(QStringLiteral("c.jpg")), "not looked at by the fake converter");
    const QString converter = m_tools.filePath(QStringLiteral("PIXVANE.EXE"));
    test::WriteFile(converter, kFakeConverter);
    QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  void sendsTheListAndEmptiesIt() {
    const int recordsBefore = SelectedFile::LiveCount();
    const test::DialogBench bench(true, {}, m_tools.path().toStdString());
    CLoaderDlg& dialog = *bench.dialog;

    CFileTreeCtrl& tree = dialog.FileTree();
    QTreeWidgetItem* folder = tree.topLevelItem(2);
    folder->setExpanded(true);
    QCOMPARE(folder->childCount(), 3);
    QVERIFY(tree.SelectItems(folder->child(0), folder->child(2)));
    dialog.OnAdd();
    CFileListCtrl& list = dialog.FileList();
    QCOMPARE(list.GetItemCount(), 3);

    dialog.ModeCombo().setCurrentIndex(static_cast<int>(Mode::Mp3));
    dialog.OnStart();  // returns when the batch is over

    QCOMPARE(bench.prompter->messages, QStringList{QStringLiteral("Write Complete!!!")});
    QCOMPARE(list.GetItemCount(), 0);
    QCOMPARE(SelectedFile::LiveCount(), recordsBefore);
    QCOMPARE(dialog.ModeCombo().currentIndex(), static_cast<int>(Mode::Photo));
    QVERIFY(!dialog.WaitDialog().IsShown());
    const std::filesystem::path disk = bench.simulator->DiskDir();
    QCOMPARE(std::filesystem::file_size(disk / "mp3" / "a.mp3"), std::uintmax_t{3000});
    QCOMPARE(std::filesystem::file_size(disk / "mp3" / "b.mp3"), std::uintmax_t{5000});
    QVERIFY(std::filesystem::exists(disk / "photo" / "c.jpg"));
  }

  void closingMidBatchReturnsAndReleasesOnce() {
    const int recordsBefore = SelectedFile::LiveCount();
    BoxFaults silent;
    silent.silent = true;  // the handshake is never answered: the batch waits
    const test::DialogBench bench(true, silent);
    bench.prompter->yes = true;  // the operator confirms stopping the transfer that has begun
    CLoaderDlg& dialog = *bench.dialog;
    const QString song = m_media.filePath(QStringLiteral("a.mp3"));
    dialog.FileList().AddFromTree({song, song});
    dialog.show();
    ExitWhenShown exitOnWait(dialog);
    dialog.ModeCombo().setCurrentIndex(static_cast<int>(Mode::Mp3));
    dialog.OnStart();  // returns once the dialog closes

    QVERIFY(dialog.IsClosing());
    QCOMPARE(SelectedFile::LiveCount(), recordsBefore);
    QCOMPARE(dialog.FileList().GetItemCount(), 0);
  }

 private:
  QTemporaryDir m_settings;
  QTemporaryDir m_media;
  QTemporaryDir m_tools;
};

QTEST_MAIN(LoaderDlgBatchTest)
#include "loader_dlg_batch_test.moc"
