#include "cli/transfer_runner.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

#include "boxsim/embedded_box.h"
#include "cli/console_host.h"
#include "cli/frame_tracer.h"
#include "cli/signal_watcher.h"
#include "link/loader_link.h"
#include "link/port_open_error.h"
#include "link/port_settings.h"
#include "media/photo_converter.h"
#include "session/transfer_session.h"

namespace tw {

namespace {

// Nothing when the box cannot be had (no pseudo-terminal left, say): the port then fails to open.
std::unique_ptr<EmbeddedBox> StartSimulator(const RunOptions& options) {
  BoxOptions box;
  box.paced = options.simPaced;
  try {
    return std::make_unique<EmbeddedBox>(box);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "The simulated box cannot start: %s\n", error.what());
    return nullptr;
  }
}

// As the dialog does: open at the idle speed; the job's speed is reached through CMD_SET_SPEED.
int Connect(CLoaderLink& link, ConsoleHost& host, const ConsoleJob& job, const RunOptions& options) {
  host.AnnounceDevice(job.portIndex + 1, link.DevicePathFor(job.portIndex + 1));
  if (link.Connect(job.portIndex, options.openSpeedIndex, &host)) {
    return kExitSuccess;
  }
  std::fprintf(stderr, "%s\n", PortOpenHint(link.LastOpenError()).c_str());
  return kExitFailure;
}

}  // namespace

int RunTransfer(const ConsoleJob& job, const RunOptions& options) {
  ConsoleHost host(job);
  SignalWatcher signals([&host] { host.Events().Push({CliEvent::Kind::Interrupt, 0}); });
  std::unique_ptr<EmbeddedBox> simulator = options.port.simulated ? StartSimulator(options) : nullptr;
  if (options.port.simulated && !simulator) {
    host.MessageBox(CantOpenPortMessage(job.portIndex + 1));
    return kExitFailure;
  }

  CLoaderLink link;
  for (const auto& [port, device] : ReadPortSettings(DefaultSettingsFile())) {
    link.SetDeviceOverride(port, device);
  }
  if (simulator) {
    link.SetDeviceOverride(job.portIndex + 1, simulator->DevicePath());
  } else if (!options.port.device.empty()) {
    link.SetDeviceOverride(job.portIndex + 1, options.port.device);
  }
  FrameTracer tracer(stderr);
  if (options.trace) {
    link.SetTrace(
        [&tracer](bool fromPc, const std::uint8_t* data, std::size_t count) { tracer.Trace(fromPc, data, count); });
  }

  PhotoConverterSettings converterSettings;
  converterSettings.startDirectory = std::filesystem::current_path();
  PhotoConverter converter(converterSettings, [&host](const std::string& text) { host.MessageBox(text); });
  CTransferSession session(link, host, converter);
  host.Attach(&session);

  int status = Connect(link, host, job, options);
  if (status == kExitSuccess) {
    const bool started = session.OnStart();
    if (host.Outcome()) {
      status = *host.Outcome();
    } else {
      status = started ? host.Run() : kExitFailure;
    }
  }
  session.OnClosing();
  link.Close();
  return status;
}

}  // namespace tw
