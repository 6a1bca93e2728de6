// The viewer's clipboard against another X11 program (xclip) in a private Xvfb server, both ways.
// Skips when Xvfb or xclip is missing.
#include "controls/hex_clipboard.h"
#include "controls/hex_viewer.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

constexpr int kWaitMs = 10000;

}  // namespace

class HexClipboardX11Test : public QObject {
  Q_OBJECT

 public:
  explicit HexClipboardX11Test(bool onX11) : m_onX11(onX11) {}

 private:
  bool m_onX11;
  std::unique_ptr<tw::CHexViewer> m_viewer;

  // Loads `bytes` and puts the caret on the first one.
  void Load(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
      m_viewer->AppendByte(static_cast<std::uint8_t>(bytes[i]), static_cast<std::uint32_t>(i));
    }
    m_viewer->SetLength(static_cast<std::uint32_t>(bytes.size()));
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, QPoint(m_viewer->Model().Layout().HexColumnX() + 2, 2));
  }

  // Runs xclip to its end while our event loop keeps answering selection requests.
  [[nodiscard]] static QByteArray ReadWithXclip(const QString& target) {
    QProcess xclip;
    QSignalSpy finished(&xclip, &QProcess::finished);
    xclip.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard", "-t", target});
    return finished.wait(kWaitMs) ? xclip.readAllStandardOutput() : QByteArray();
  }

 private slots:
  void init() {
    if (!m_onX11) {
      QSKIP("Xvfb or xclip is not installed");
    }
    m_viewer = std::make_unique<tw::CHexViewer>();
    m_viewer->resize(720, 400);
    m_viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
  }

  void cleanup() { m_viewer.reset(); }

  void copiedBytesReachAnotherProgram() {
    Load(QByteArray("\x41\x00\xFF\x0A\x7F", 5));
    m_viewer->OnCommand(tw::CHexViewer::kIdEditSelectAll);
    m_viewer->OnCommand(tw::CHexViewer::kIdEditCopy);
    QCOMPARE(ReadWithXclip(QStringLiteral("BinaryData")), QByteArray("\x41\x00\xFF\x0A\x7F", 5));
    QCOMPARE(ReadWithXclip(QStringLiteral("UTF8_STRING")), QByteArray("41 00 FF 0A 7F "));
  }

  void bytesFromAnotherProgramPasteIn_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("BinaryData") << QStringLiteral("BinaryData") << QByteArray("\x00\x01\xFE\xFF\x0D", 5);
    QTest::newRow("text") << QStringLiteral("UTF8_STRING") << QByteArray("loader");
  }

  void bytesFromAnotherProgramPasteIn() {
    QFETCH(QString, target);
    QFETCH(QByteArray, payload);
    Load(QByteArray(8, '\x11'));

    QClipboard* clipboard = QGuiApplication::clipboard();
    QSignalSpy changed(clipboard, &QClipboard::dataChanged);
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-i", "-quiet", "-selection", "clipboard", "-t", target});
    QVERIFY(xclip.waitForStarted(kWaitMs));
    xclip.write(payload);
    xclip.closeWriteChannel();
    QVERIFY(changed.wait(kWaitMs));  // xclip owns the clipboard now
    QVERIFY(tw::HexClipboard::ClipboardCanPaste());
    m_viewer->OnCommand(tw::CHexViewer::kIdEditPaste);
    xclip.kill();
    xclip.waitForFinished();

    QCOMPARE(QByteArray(reinterpret_cast<const char*>(m_viewer->GetData()), m_viewer->GetLength()),
             payload + QByteArray(8, '\x11'));
  }
};

// The xcb platform's D-Bus client keeps one buffer until exit; LeakSanitizer builds need to know.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier): the hook's name
  return "leak:libdbus-1.so\n";
}

int main(int argc, char** argv) {
  // A private X server on a display number it picks itself (-displayfd), so parallel runs never clash. The
  // shell reports its process id, which Xvfb takes over, then Xvfb the display once it accepts clients.
  FILE* xvfb = popen(
      "command -v xclip >/dev/null && echo $$ && "
      "exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null",
      "re");
  int pid = 0;
  int display = 0;
  const bool onX11 = xvfb != nullptr && std::fscanf(xvfb, "%d %d", &pid, &display) == 2;
  qputenv("DISPLAY", ":" + QByteArray::number(display));
  qputenv("QT_QPA_PLATFORM", onX11 ? "xcb" : "offscreen");
  int status = 0;
  {
    QApplication app(argc, argv);  // its X connection closes before the server goes
    HexClipboardX11Test test(onX11);
    status = QTest::qExec(&test, argc, argv);
  }
  if (onX11) {
    kill(pid, SIGTERM);
  }
  if (xvfb != nullptr) {
    pclose(xvfb);
  }
  return status;
}

#include "hex_clipboard_x11_test.moc"
