// The viewer's clipboard against another X11 program (xclip) in a private Xvfb server, both ways.
// Skips when Xvfb or xclip is missing.
#include "controls/hex_clipboard.h"
#include "controls/hex_viewer.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kWaitMs = 10000;

// A private X server on a display number it picks itself (-displayfd), so parallel runs never clash.
class XvfbServer {
 public:
  XvfbServer() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) {
      return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
      return;
    }
    const std::string path = xvfb.toStdString();
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args{path, "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
      m_pid = -1;
      close(fds[0]);
      return;
    }
    // Xvfb writes the display number once it accepts connections; EOF means it gave up.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
      number.push_back(c);
    }
    close(fds[0]);
    if (!number.empty()) {
      m_display = ":" + number;
    }
  }

  ~XvfbServer() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }

  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  [[nodiscard]] const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

}  // namespace

class HexClipboardX11Test : public QObject {
  Q_OBJECT

 public:
  explicit HexClipboardX11Test(bool onX11) : m_onX11(onX11) {}

 private:
  bool m_onX11;
  std::unique_ptr<tw::CHexViewer> m_viewer;

  void Load(const QByteArray& bytes) {
    m_viewer->Clear();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
      m_viewer->AppendByte(static_cast<std::uint8_t>(bytes[i]), static_cast<std::uint32_t>(i));
    }
    m_viewer->SetLength(static_cast<std::uint32_t>(bytes.size()));
  }

  [[nodiscard]] QByteArray Contents() const {
    return {reinterpret_cast<const char*>(m_viewer->GetData()), static_cast<qsizetype>(m_viewer->GetLength())};
  }

  // Runs xclip to its end while our event loop keeps answering selection requests.
  [[nodiscard]] static QByteArray ReadWithXclip(const QString& target) {
    QProcess xclip;
    QSignalSpy finished(&xclip, &QProcess::finished);
    xclip.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard", "-t", target});
    if (!finished.wait(kWaitMs)) {
      xclip.kill();
      xclip.waitForFinished();
      return {};
    }
    return xclip.readAllStandardOutput();
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
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, QPoint(m_viewer->Model().Layout().HexColumnX() + 2, 2));
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
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, QPoint(m_viewer->Model().Layout().HexColumnX() + 2, 2));

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

    QCOMPARE(Contents(), QByteArray(payload + QByteArray(8, '\x11')));
  }
};

// The xcb platform's D-Bus client keeps one buffer until exit; LeakSanitizer builds need to know.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  const XvfbServer xvfb;  // outlives the application, whose X connection closes first
  const bool onX11 = !xvfb.Display().empty();
  if (onX11) {
    qputenv("DISPLAY", QByteArray::fromStdString(xvfb.Display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  HexClipboardX11Test test(onX11);
  return QTest::qExec(&test, argc, argv);
}

#include "hex_clipboard_x11_test.moc"
