#include "ui/loader_app.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QProcessEnvironment>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "boxsim/embedded_box.h"
#include "ui/loader_dlg.h"
#include "ui/screen_grab.h"

namespace tw {

namespace {

constexpr int kSimulatedPort = 1;
constexpr std::chrono::milliseconds kSimulatedSettle{100};
const char* const kGrabVariable = "TARNWICK_GRAB";
const char* const kGrabUploadVariable = "TARNWICK_GRAB_UPLOAD";
const char* const kGrabFilesVariable = "TARNWICK_GRAB_FILES";
const char* const kGrabSelectionVariable = "TARNWICK_GRAB_SELECTION";

GrabScene GrabSceneFrom(const QProcessEnvironment& environment) {
  if (environment.contains(QString::fromLatin1(kGrabSelectionVariable))) {
    return GrabScene::WithSelection;
  }
  if (environment.contains(QString::fromLatin1(kGrabUploadVariable))) {
    return GrabScene::AfterUpload;
  }
  return environment.contains(QString::fromLatin1(kGrabFilesVariable)) ? GrabScene::WithFiles : GrabScene::AsOpened;
}

constexpr std::uint32_t kSdramWindow = 0x00400000;
constexpr std::size_t kDemoBytes = 1024;

std::unique_ptr<EmbeddedBox> StartSimulator() {
  BoxOptions box;
  box.paced = true;  // at the negotiated speed, so progress looks as on a real line
  box.settle = kSimulatedSettle;
  try {
    return std::make_unique<EmbeddedBox>(box);
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "tarnwick: no simulated box: %s\n", error.what());
    return nullptr;
  }
}

// Something worth looking at in the SDRAM window that the screenshot uploads.
void FillDemoMemory(EmbeddedBox& box) {
  const std::string banner = "Tarnwick engineering panel: SDRAM window at 0x00400000. ";
  std::vector<std::uint8_t> bytes(kDemoBytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = i < banner.size() ? static_cast<std::uint8_t>(banner[i]) : static_cast<std::uint8_t>(i * 7);
  }
  box.WriteMemory(Mode::Sdram, kSdramWindow, bytes);
}

}  // namespace

// The parser's own --help and --version are not used: they end the process from inside the parser.
struct CommandLine {
  QCommandLineParser parser;
  QCommandLineOption simulate{QStringLiteral("simulate"),
                              QStringLiteral("Attach the embedded simulated box as COM 1.")};
  QCommandLineOption engineering{QStringLiteral("engineering"),
                                 QStringLiteral("Open expanded, with the engineering panel enabled.")};
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the version and exit.")};

  CommandLine() {
    parser.setApplicationDescription(QStringLiteral("The serial loader dialog for digital set-top boxes."));
    parser.addOptions({simulate, engineering, help, version});
  }
};

LoaderAppOptions CLoaderApp::ParseArguments(const QStringList& arguments) {
  CommandLine line;
  LoaderAppOptions options;
  if (!line.parser.parse(arguments)) {
    options.error = line.parser.errorText();
  } else if (!line.parser.positionalArguments().isEmpty()) {
    options.error = QStringLiteral("Unexpected argument '%1'.").arg(line.parser.positionalArguments().first());
  }
  options.simulate = line.parser.isSet(line.simulate);
  options.engineering = line.parser.isSet(line.engineering);
  options.help = line.parser.isSet(line.help);
  options.version = line.parser.isSet(line.version);
  return options;
}

QString CLoaderApp::Usage() {
  CommandLine line;
  return line.parser.helpText();
}

QString CLoaderApp::VersionText() { return QStringLiteral("tarnwick %1").arg(QStringLiteral(TARNWICK_VERSION)); }

int CLoaderApp::InitInstance(const LoaderAppOptions& options) {
  std::unique_ptr<EmbeddedBox> simulator = options.simulate ? StartSimulator() : nullptr;
  LoaderDlgOptions dialogOptions;
  dialogOptions.engineering = options.engineering;
  if (simulator) {
    dialogOptions.deviceOverrides[kSimulatedPort] = simulator->DevicePath();
  }
  CLoaderDlg dialog(std::move(dialogOptions));
  // Opt-in for the documentation's screenshots only.
  const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  std::unique_ptr<ScreenGrab> grab;
  if (environment.contains(QString::fromLatin1(kGrabVariable))) {
    if (simulator) {
      FillDemoMemory(*simulator);
    }
    grab = std::make_unique<ScreenGrab>(dialog, environment.value(QString::fromLatin1(kGrabVariable)),
                                        GrabSceneFrom(environment));
  }
  dialog.exec();
  return 0;
}

}  // namespace tw
