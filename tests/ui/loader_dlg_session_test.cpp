// The dialog driving whole operations against the embedded simulated box, the test playing the operator.

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include "controls/hex_viewer.h"
#include "controls/percent_progress_ctrl.h"
#include "loader_dlg_test_support.h"
#include "support/test_bytes.h"
#include "ui/app_settings.h"

using namespace tw;
using test::Choose;

namespace {

constexpr std::uint32_t kSdramWindow = 0x00400000;

QString WriteFile(const QTemporaryDir& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
  QString path = dir.filePath(QString::fromLatin1(name));
  test::WriteFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  return path;
}

// Runs `act` once, as the operator's next event after a progress report in mid-transfer: each block
// waits for the dialog's thread, so at most one more goes out first. It comes from a timer, as input
// comes from outside the posted events: an action run from inside their delivery starves the posted
// events of the loops it opens (a picker held open then never saw the box's next reply).
void WhileRunning(CLoaderDlg& dialog, const std::function<void()>& act) {
  auto done = std::make_shared<bool>(false);
  QObject::connect(&dialog.Host(), &DialogHost::ProgressShown, &dialog, [done, act, &dialog](int position) {
    if (!*done && position > 0 && position < 100) {
      *done = true;
      auto* next = new QTimer(&dialog);
      next->setSingleShot(true);
      QObject::connect(next, &QTimer::timeout, &dialog, [next, act] {
        next->deleteLater();
        act();
      });
      next->start(0);
    }
  });
}

}  // namespace

class LoaderDlgSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    AppSettings::UseFile(m_dir.filePath(QStringLiteral("tarnwick.ini")));
  }

  void enterEscapeAndExitLeaveARunningTransferAlone() {
    test::DialogBench bench;
    QVERIFY(test::ShowActive(*bench.dialog));
    CLoaderDlg& d = *bench.dialog;
    bench.prompter->answers.push_back(WriteFile(m_dir, "long.gz", test::GzipImage(40000, 4)));
    bool stayed = false;
    WhileRunning(d, [&] {
      d.PortCombo().setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY(bench.prompter->questions.isEmpty());
      QTest::mouseClick(qobject_cast<QPushButton*>(d.Control(1018)), Qt::LeftButton);  // the operator says No
      d.close();
      stayed = d.isVisible() && !d.IsClosing();
    });
    d.OnStart();
    QVERIFY(bench.WaitFor("Download Complete!!!"));
    QVERIFY(stayed);
    const QString question = QStringLiteral("Transfer in progress !\nStop it and exit?");
    QCOMPARE(bench.prompter->questions, (QStringList{question, question}));

    // Idle again: Escape ends the dialog without a question.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(bench.prompter->questions.size(), 2);
  }

  void exitConfirmedStopsTheTransfer() {
    test::DialogBench bench;
    QVERIFY(test::ShowActive(*bench.dialog));
    CLoaderDlg& d = *bench.dialog;
    bench.prompter->answers.push_back(WriteFile(m_dir, "stopped.gz", test::GzipImage(40000, 5)));
    bench.prompter->yes = true;
    QSignalSpy finished(&d, &QDialog::finished);
    WhileRunning(d, [&] { QTest::mouseClick(qobject_cast<QPushButton*>(d.Control(1018)), Qt::LeftButton); });
    d.OnStart();
    QVERIFY(finished.wait(60000));
    QVERIFY(d.IsClosing());
    QCOMPARE(bench.prompter->questions.size(), 1);
    QVERIFY(!bench.prompter->messages.contains(QStringLiteral("Download Complete!!!")));
  }

  void repliesAreAnsweredWhileASecondStartPicksItsFile() {
    test::DialogBench bench;
    CLoaderDlg& d = *bench.dialog;
    bench.prompter->answers.push_back(WriteFile(m_dir, "running.gz", test::GzipImage(40000, 7)));
    bool completedWhilePicking = false;
    WhileRunning(d, [&] {
      bench.prompter->whilePicking = [&] {
        completedWhilePicking = test::WaitForMessage(d.Host(), *bench.prompter, QStringLiteral("Download Complete!!!"),
                                                     60000);  // a limit for a loaded machine, not a timing
      };
      d.OnStart();  // the second Start's picker stays open until the first transfer ends, then is cancelled
    });
    d.OnStart();
    QTRY_VERIFY_WITH_TIMEOUT(bench.prompter->filters.size() == 2, 60000);
    QVERIFY(completedWhilePicking);
    QCOMPARE(bench.simulator->FinishedTransfers(), 1u);  // the cancelled picker sent nothing
  }

  // The upload after the download shows its own percentage, not the last caption.
  void programDownloadDatabaseUploadAndMemoryUploadEachReachTheirEnd() {
    test::DialogBench bench(true);
    CLoaderDlg& d = *bench.dialog;
    QCOMPARE(d.ComGroup().title(), QStringLiteral("COM : Connected"));
    const std::vector<std::uint8_t> image = test::GzipImage(5000, 1);
    bench.prompter->answers.push_back(WriteFile(m_dir, "program.gz", image));
    d.OnStart();
    QVERIFY(bench.WaitFor("Download Complete!!!"));
    QCOMPARE(d.Progress().GetPos(), 100);
    QCOMPARE(d.Progress().GetWindowText(), QStringLiteral("Download Complete!!!"));
    QCOMPARE(bench.simulator->ReadMemory(Mode::GzipProgram, 0, image.size()), image);
    QCOMPARE(bench.prompter->messages, QStringList{QStringLiteral("Download Complete!!!")});

    Choose(d.OperationCombo(), 2);  // an upload: its first report comes with bytes already received
    const QString target = m_dir.filePath(QStringLiteral("database.bin"));
    bench.prompter->answers.push_back(target);
    QStringList captions;
    connect(&d.Host(), &DialogHost::ProgressShown, &d, [&] { captions << d.Progress().GetWindowText(); });
    d.OnStart();
    QVERIFY(bench.WaitFor("End of receiving"));
    QVERIFY(!captions.isEmpty());
    QCOMPARE(captions.first(), QString());
    QCOMPARE(bench.prompter->filters.last(), QStringLiteral("Database File (*.bin)"));
    QCOMPARE(QFile(target).size(), qint64(329728));
    QCOMPARE(d.Progress().GetPos(), 100);

    // A memory upload fills the viewer at its address.
    const std::vector<std::uint8_t> memory = test::Pattern(1024, 3);
    QVERIFY(bench.simulator->WriteMemory(Mode::Sdram, kSdramWindow, memory));
    Choose(d.ModeCombo(), 2);
    QSignalSpy shown(&d.Host(), &DialogHost::UploadShown);
    d.OnStart();
    QVERIFY(shown.wait(60000));
    QCOMPARE(d.HexViewer().GetLength(), 1024u);
    QCOMPARE(std::vector<std::uint8_t>(d.HexViewer().GetData(), d.HexViewer().GetData() + 1024), memory);
    QCOMPARE(d.HexViewer().Model().AddressBase(), kSdramWindow);
    QCOMPARE(bench.prompter->messages.size(), 2);  // no message of its own
  }

 private:
  QTemporaryDir m_dir;
};

QTEST_MAIN(LoaderDlgSessionTest)
#include "loader_dlg_session_test.moc"
