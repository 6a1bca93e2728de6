#include "ui/loader_app.h"

#include <QProcessEnvironment>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "boxsim/embedded_box.h"
#include "ui/dlg_screen_grab.h"
#include "ui/loader_dlg.h"

namespace tw {

namespace {

constexpr int kSimulatedPort = 1;
constexpr std::chrono::milliseconds kSimulatedSettle{100};
const char* const kGrabVariable = "TARNWICK_GRAB";
const char* const kGrabUploadVariable = "TARNWICK_GRAB_UPLOAD";
const char* const kGrabFilesVariable = "TARNWICK_GRAB_FILES";

GrabScene GrabSceneFrom(const QProcessEnvironment& environment) {
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

LoaderAppOptions CLoaderApp::ParseArguments(const QStringList& arguments) {
  LoaderAppOptions options;
  for (const QString& argument : arguments.mid(1)) {
    if (argument == QStringLiteral("--simulate")) {
      options.simulate = true;
    } else if (argument == QStringLiteral("--engineering")) {
      options.engineering = true;
    } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
      options.help = true;
    } else {
      options.unknown.append(argument);
    }
  }
  return options;
}

const char* CLoaderApp::Usage() {
  return "Usage: tarnwick [--simulate] [--engineering]\n"
         "  --simulate     attach the embedded simulated box as COM 1\n"
         "  --engineering  open expanded, with the engineering panel enabled\n";
}

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
  std::unique_ptr<DlgScreenGrab> grab;
  if (environment.contains(QString::fromLatin1(kGrabVariable))) {
    if (simulator) {
      FillDemoMemory(*simulator);
    }
    grab = std::make_unique<DlgScreenGrab>(dialog, environment.value(QString::fromLatin1(kGrabVariable)),
                                           GrabSceneFrom(environment));
  }
  dialog.exec();
  return 0;
}

}  // namespace tw
