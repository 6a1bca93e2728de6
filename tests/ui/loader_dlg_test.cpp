// The main dialog without a box: layout, defaults, the operation and mode tables, columns, closing.

#include <QAccessible>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "controls/flat_edit.h"
#include "controls/hex_viewer.h"
#include "controls/percent_progress_ctrl.h"
#include "controls/skin_check_box.h"
#include "controls/skin_radio_button.h"
#include "loader_dlg_test_support.h"
#include "ui/about_dlg.h"
#include "ui/app_settings.h"
#include "ui/dialog_units.h"
#include "ui/file_list_ctrl.h"
#include "ui/loader_app.h"
#include "ui/selected_file.h"
#include "ui/widget_prompter.h"

using namespace tw;
using test::Choose;

namespace {

const QList<int> kPanel{1009, 1011, 1010, 1004, 1007, 1008, 1012, 1013, 1014, 1015};

using Fixture = test::DialogBench;

// COM 1 is missing; `com2` names COM 2's device when given.
Fixture MakeDialog(bool engineering = false, const QString& com2 = {}) {
  return Fixture(engineering, com2.toStdString());
}

void FillViewer(CHexViewer& viewer, int count) {
  for (int i = 0; i < count; ++i) {
    viewer.AppendByte(static_cast<std::uint8_t>(i), static_cast<std::uint32_t>(i));
  }
  viewer.SetLength(static_cast<std::uint32_t>(count));
}

// Pixels a line edit has for its text: its contents less the edit's own side margins.
int TextRoom(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
  return edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit).width() - 2 * 2;
}

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) {
    items.append(combo.itemText(i));
  }
  return items;
}

}  // namespace

class LoaderDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_settingsDir.isValid());
    AppSettings::UseFile(m_settingsDir.filePath(QStringLiteral("tarnwick.ini")));
  }

  void startsCollapsedWithTheDefaults() {
    AppSettings::WriteProfileString(QStringLiteral("Ports"), QStringLiteral("COM2"), QStringLiteral("/dev/assigned"));
    Fixture f = MakeDialog();
    AppSettings::WriteProfileString(QStringLiteral("Ports"), QStringLiteral("COM2"), QString());
    CLoaderDlg& d = *f.dialog;
    QCOMPARE(d.PortCombo().itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/assigned"));
    const DialogUnits units(QSize(7, 14));  // to the nearest pixel: 1.75 and 5.25
    QCOMPARE(units.ToPixels({10, 100, 225, 8}), QRect(18, 175, 394, 14));
    QCOMPARE(QPoint(units.X(1), units.Y(3)), QPoint(2, 5));
    QCOMPARE(d.height(), d.Control(1042)->geometry().top());
    QCOMPARE(d.width(), d.Units().X(249));
    QVERIFY(d.rect().contains(d.Control(1016)->geometry()));  // the progress bar, the last upper control
    const QList<int> upper{1002, 1003, 1020, 1017, 1018, 1016, 1019, 1021};
    for (int id : upper + kPanel + QList<int>{1042, 1005, 1006}) {
      QVERIFY2(d.Control(id)->isEnabled() == upper.contains(id), qPrintable(QString::number(id)));
    }
    QCOMPARE(Items(d.OperationCombo()),
             (QStringList{"Program Download", "Database Download", "Database Upload", "Boot Change"}));
    QCOMPARE((QStringList{d.OperationCombo().currentText(), d.PortCombo().currentText(), d.SpeedCombo().currentText(),
                          d.ModeCombo().currentText(), d.windowTitle(), d.ComGroup().title()}),
             (QStringList{"Program Download", "COM 1", "115200", "GZIP_PROGRAM", "Tarnwick", "COM : Not Connected"}));
    using Buttons = std::initializer_list<const CSkinButton*>;
    for (const CSkinButton* check :
         Buttons{&d.DownloadRadio(), &d.AddressCheck(), &d.HexCodeCheck(), &d.AsciiCheck()}) {
      QCOMPARE(check->GetCheck(), 1);
    }
    QVERIFY(d.StartEdit().text().isEmpty() && d.SizeEdit().text().isEmpty());

    // The operation chooses the mode and the direction; Program Download keeps the direction.
    struct Row {
      int operation, mode;
      bool upload;
    };
    for (const Row& row : {Row{2, 1, true}, Row{0, 9, true}, Row{3, 8, false}, Row{1, 1, false}, Row{3, 8, false}}) {
      Choose(d.OperationCombo(), row.operation);
      QCOMPARE(d.ModeCombo().currentIndex(), row.mode);
      QCOMPARE(d.UploadRadio().GetCheck(), int(row.upload));
      QCOMPARE(d.DownloadRadio().GetCheck(), int(!row.upload));
    }
    d.OperationCombo().setCurrentIndex(-1);  // without a selection nothing changes
    d.OnSelchangeOperation();
    QCOMPARE(d.ModeCombo().currentIndex(), 8);
    QCOMPARE(d.DownloadRadio().GetCheck(), 1);
  }

  void aPortThatDidNotOpenIsExplainedOverTheShownWindow() {
    // COM 2 is a port that another program holds.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString slave = QString::fromLatin1(::ptsname(master));
    const int held = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
    Fixture f = MakeDialog(false, slave);
    CLoaderDlg& d = *f.dialog;
    bool shownOverTheWindow = false;
    connect(&d.Host(), &DialogHost::MessageShown, &d, [&] { shownOverTheWindow = d.isVisible(); });
    d.show();
    QTRY_COMPARE(f.prompter->messages, QStringList{QStringLiteral("Can't Open Comm Port 1 !")});
    QVERIFY(shownOverTheWindow);
    // The reason goes in the status line, the entry's device in its tooltip; the Part's text stays.
    auto* status = qobject_cast<QLabel*>(d.Control(1043));
    QVERIFY(status->isVisible() && d.rect().contains(status->geometry()));
    QCOMPARE(status->toolTip(),
             QString::fromLatin1(test::kMissingPort) + " does not exist; is the adapter plugged in?");
    QCOMPARE(d.PortCombo().itemData(0, Qt::ToolTipRole).toString(), QString::fromLatin1(test::kMissingPort));

    // A port that another program holds says so, with the holder.
    d.PortCombo().setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // COM 2, as the operator picks it
    QTRY_COMPARE(f.prompter->messages.size(), 2);
    QVERIFY2(status->toolTip().startsWith(slave + " is in use by another program"), qPrintable(status->toolTip()));
    QCOMPARE(d.PortCombo().toolTip(), slave);
    ::close(held);
    ::close(master);
  }

  void engineeringOpensThePanelAndMemoryModesProposeTheirWindow() {
    Fixture f = MakeDialog(true);
    CLoaderDlg& d = *f.dialog;
    QCOMPARE(d.height(), d.Units().Y(263));
    for (int id : kPanel) {
      QVERIFY2(d.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    QVERIFY(!d.StartEdit().isEnabled() && !d.SizeEdit().isEnabled());  // they wait for a memory mode
    struct Row {
      int mode;
      const char* start;
      bool editable;
    };
    // Every mode change empties the viewer, the same mode again and no selection too.
    for (const Row& row : {Row{2, "0x00400000", true}, Row{0, "0x00400000", false}, Row{4, "0x0000", true},
                           Row{3, "0x7FE00000", true}, Row{3, "0x7FE00000", true}, Row{-1, "0x7FE00000", true}}) {
      FillViewer(d.HexViewer(), 40);
      Choose(d.ModeCombo(), row.mode);
      QCOMPARE(d.HexViewer().GetLength(), 0u);
      QCOMPARE(d.StartEdit().text(), QString::fromLatin1(row.start));
      QCOMPARE(d.SizeEdit().text(), QStringLiteral("1024"));
      QCOMPARE(d.StartEdit().isEnabled() && d.SizeEdit().isEnabled(), row.editable);
    }
  }

  void tabAndShiftTabReachEveryStopInLayoutOrder() {
    Fixture f = MakeDialog(true);
    CLoaderDlg& d = *f.dialog;
    Choose(d.ModeCombo(), 2);  // SDRAM: the address edits take part too
    FillViewer(d.HexViewer(), 64);
    QVERIFY(test::ShowActive(d));
    const auto visit = [&d](Qt::Key key, qsizetype stops) {
      d.PortCombo().setFocus(Qt::TabFocusReason);
      QList<int> visited;
      while (visited.size() < stops) {
        QTest::keyClick(QApplication::focusWidget(), key);
        visited << QApplication::focusWidget()->objectName().toInt();
      }
      return visited;
    };
    // The viewer takes three: the address, hex and ASCII columns.
    QCOMPARE(visit(Qt::Key_Tab, 18), (QList<int>{1003, 1020, 1017, 1018, 1009, 1009, 1009, 1011, 1012, 1013, 1014, 1004,
                                                 1015, 1007, 1010, 1005, 1006, 1002}));

    // Backwards, with Upload checked: the group's stop is now the checked button.
    QTest::keyClick(&d.DownloadRadio(), Qt::Key_Right);
    QCOMPARE(d.UploadRadio().GetCheck(), 1);
    QCOMPARE(visit(Qt::Key_Backtab, 17), (QList<int>{1006, 1005, 1010, 1008, 1015, 1004, 1014, 1013, 1012, 1011, 1009,
                                                     1009, 1018, 1017, 1020, 1003, 1002}));
  }

  void everyTextFitsAndAnEnlargedWindowGivesTheViewerTreeAndListTheRoom() {
    Fixture f = MakeDialog(true);
    CLoaderDlg& d = *f.dialog;
    FillViewer(d.HexViewer(), 256);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (CFlatComboBox* combo : {&d.PortCombo(), &d.SpeedCombo(), &d.OperationCombo(), &d.ModeCombo()}) {
      for (const QString& item : Items(*combo)) {
        QVERIFY2(combo->fontMetrics().horizontalAdvance(item) <= TextRoom(*combo->lineEdit()), qPrintable(item));
      }
    }
    QVERIFY(d.StartEdit().fontMetrics().horizontalAdvance(QStringLiteral("0x7FE00000")) <= TextRoom(d.StartEdit()));
    QVERIFY(d.SizeEdit().fontMetrics().horizontalAdvance(QStringLiteral("1024")) <= TextRoom(d.SizeEdit()));
    for (const QLabel* label : d.findChildren<QLabel*>()) {  // which label is whose: the screen reader test
      QVERIFY(!label->buddy() ||
              std::abs(label->geometry().center().y() - label->buddy()->geometry().center().y()) <= 1);
    }

    const QSize initial = d.size();
    QCOMPARE(initial, d.Units().SizeToPixels({0, 0, 249, 263}));
    const QRect viewer = d.HexViewer().geometry();
    const QRect tree = d.Control(1011)->geometry();
    const QRect list = d.Control(1010)->geometry();
    const QRect exit = d.Control(1018)->geometry();
    const int missing = d.HexViewer().Model().Layout().ContentWidth() - d.HexViewer().viewport()->width();
    QVERIFY(missing > 0);  // at the template's size the ASCII column is out of sight

    const QSize extra(missing + 40, 100);
    d.resize(initial + extra);
    QCOMPARE(d.HexViewer().geometry().size(), viewer.size() + extra);
    QCOMPARE(d.Control(1011)->geometry(), tree.adjusted(extra.width(), 0, extra.width(), extra.height() / 2));
    QCOMPARE(d.Control(1010)->geometry(),
             list.adjusted(extra.width(), extra.height() / 2, extra.width(), extra.height()));
    QCOMPARE(d.Control(1018)->geometry(), exit);
    QVERIFY(d.HexViewer().viewport()->width() >= d.HexViewer().Model().Layout().ContentWidth());

    d.resize(initial - QSize(50, 50));  // never below the template's size
    QCOMPARE(d.size(), initial);
  }

  void screenReadersMeetEachControlAsWhatItIs() {
    Fixture f = MakeDialog(true);
    CLoaderDlg& d = *f.dialog;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const auto of = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); };

    QAccessibleInterface* address = of(&d.AddressCheck());
    QCOMPARE(address->role(), QAccessible::CheckBox);
    QCOMPARE(address->text(QAccessible::Name), QStringLiteral("Address"));
    QVERIFY(address->state().checkable && address->state().checked);
    QTest::mouseClick(&d.AddressCheck(), Qt::LeftButton);
    QVERIFY(!address->state().checked);
    QTest::mouseClick(&d.HexCodeCheck(), Qt::LeftButton);  // each box hides its own column only
    const HexColumns& columns = d.HexViewer().Model().Layout().Columns();
    QVERIFY(!columns.showAddress && !columns.showHex && columns.showAscii);

    QAccessibleInterface* upload = of(&d.UploadRadio());
    QCOMPARE(upload->role(), QAccessible::RadioButton);
    QCOMPARE(upload->text(QAccessible::Name), QStringLiteral("Upload"));
    QVERIFY(!upload->state().checked);
    upload->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(upload->state().checked);
    QVERIFY(!of(&d.DownloadRadio())->state().checked);

    QAccessibleInterface* progress = of(&d.Progress());
    QCOMPARE(progress->role(), QAccessible::ProgressBar);
    QCOMPARE(progress->text(QAccessible::Name), QStringLiteral("Progress"));
    d.Progress().SetPos(42);
    QCOMPARE(progress->valueInterface()->currentValue().toInt(), 42);
    QCOMPARE(progress->text(QAccessible::Value), QStringLiteral("42%"));
    d.Progress().SetWindowText(QStringLiteral("Download Complete!!!"));
    QCOMPARE(progress->text(QAccessible::Value), QStringLiteral("Download Complete!!!"));

    QAccessibleInterface* viewer = of(&d.HexViewer());
    QCOMPARE(viewer->text(QAccessible::Name), QStringLiteral("Hex viewer"));
    FillViewer(d.HexViewer(), 64);
    d.HexViewer().setFocus();
    QTest::keyClick(&d.HexViewer(), Qt::Key_Tab);
    QTest::keyClick(&d.HexViewer(), Qt::Key_Down);
    QCOMPARE(viewer->text(QAccessible::Value), QStringLiteral("offset 0x00000010 of 64 bytes, hex high digit"));

    QCOMPARE(of(d.Control(1011))->text(QAccessible::Name), QStringLiteral("Select Files (only MP3, Photo)"));
    QCOMPARE(of(d.Control(1010))->text(QAccessible::Name), QStringLiteral("Selected Files"));
    const QList<std::pair<QWidget*, QString>> labelled{{&d.PortCombo(), "Port"},      {&d.SpeedCombo(), "Speed"},
                                                       {&d.OperationCombo(), "Mode"}, {&d.ModeCombo(), "Mode"},
                                                       {&d.StartEdit(), "Start"},     {&d.SizeEdit(), "Size"}};
    // Each field is labelled by its label (on Linux a combo box's own name is its text).
    for (const auto& [field, name] : labelled) {
      const auto labels = of(field)->relations(QAccessible::Label);
      QCOMPARE(labels.size(), 1);
      QCOMPARE(labels.first().first->text(QAccessible::Name), name);
    }
    QCOMPARE(of(&d.StartEdit())->text(QAccessible::Name), QStringLiteral("Start"));
  }

  void exitAndEnterEndTheDialog() {
    const int before = SelectedFile::LiveCount();
    Fixture exit = MakeDialog(true);
    exit.dialog->FileList().AddFromTree({"/tmp/song0.mp3", "/tmp/song1.mp3", "/tmp/song2.mp3"});
    exit.dialog->show();
    QTest::mouseClick(qobject_cast<QPushButton*>(exit.dialog->Control(1018)), Qt::LeftButton);
    QVERIFY(exit.dialog->IsClosing() && !exit.dialog->isVisible());
    QCOMPARE(SelectedFile::LiveCount(), before);  // every list record released, once
    exit.dialog.reset();
    QCOMPARE(SelectedFile::LiveCount(), before);

    // Enter ends it from a combo; on a focused button it clicks it: Start asks for the image, here cancelled.
    Fixture enter = MakeDialog();
    enter.dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(enter.dialog.get()));
    enter.dialog->Control(1017)->setFocus();
    QTest::keyClick(enter.dialog.get(), Qt::Key_Return);
    QCOMPARE(enter.prompter->filters, QStringList{QStringLiteral("Program File (*.bin *.gz);;All File (*.*)")});

    QString item;  // the context menu, which offers the about box
    QTimer::singleShot(0, [&item] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu != nullptr && menu->actions().size() == 1);
      item = menu->actions().first()->text();
      menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), enter.dialog->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(enter.dialog.get(), &event);
    QCOMPARE(item, QStringLiteral("&About Tarnwick..."));
    enter.dialog->PortCombo().setFocus();
    QTest::keyClick(enter.dialog.get(), Qt::Key_Return);
    QCOMPARE(enter.dialog->result(), int(QDialog::Accepted));
    QVERIFY(!enter.dialog->isVisible());
  }

  void aboutAndMessageBoxes() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Tarnwick"));
    QVERIFY(std::ranges::any_of(about.findChildren<QLabel*>(),
                                [](const QLabel* label) { return label->text() == "Tarnwick Version 1.0"; }));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("1"));
    QVERIFY(ok != nullptr && ok->isDefault());
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));

    QStringList seen;  // a message box carries the program's name and OK
    QTimer::singleShot(0, [&seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      seen << box->windowTitle() << box->text() << QString::number(box->buttons().size());
      box->accept();
    });
    WidgetPrompter().MessageBox(nullptr, QStringLiteral("Download Complete!!!"));
    QCOMPARE(seen, (QStringList{"loader_dlg_test", "Download Complete!!!", "1"}));
  }

  void commandLineOptionsAreOptIn() {
    const LoaderAppOptions plain = CLoaderApp::ParseArguments({"tarnwick"});
    QVERIFY(!plain.simulate && !plain.engineering && !plain.help && !plain.version && plain.error.isEmpty());
    const LoaderAppOptions both = CLoaderApp::ParseArguments({"tarnwick", "--engineering", "--simulate"});
    QVERIFY(both.simulate && both.engineering && both.error.isEmpty());
    QVERIFY(!CLoaderApp::ParseArguments({"tarnwick", "extra"}).error.isEmpty());

    // The program itself: the version answers without a dialog, an unknown option is refused.
    QProcess program;
    program.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick"), {QStringLiteral("--version")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(program.readAllStandardOutput().startsWith("tarnwick 1."));
    program.start(QStringLiteral(TARNWICK_BIN_DIR "/tarnwick"), {QStringLiteral("--fast")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("Unknown option 'fast'"));
  }

 private:
  QTemporaryDir m_settingsDir;
};

QTEST_MAIN(LoaderDlgTest)
#include "loader_dlg_test.moc"
