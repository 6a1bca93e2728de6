#include "cli/transfer_runner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include "boxsim/embedded_box.h"
#include "cli/console_host.h"
#include "cli/file_digest.h"
#include "cli/frame_tracer.h"
#include "cli/progress_line.h"
#include "link/loader_link.h"
#include "link/port_open_error.h"
#include "link/port_settings.h"
#include "link/private_folder.h"
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
int Connect(LoaderLink& link, ConsoleHost& host, const ConsoleJob& job, const RunOptions& options) {
  host.AnnounceDevice(job.port.number, link.DevicePathFor(job.port.number));
  if (link.Connect(job.port, options.openSpeed, &host)) {
    return kExitSuccess;
  }
  host.View().Status(PortOpenHint(link.LastOpenError()));
  return kExitFailure;
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// Empty when they agree.
std::string Difference(const std::vector<std::uint8_t>& sent, const std::vector<std::uint8_t>& back) {
  for (std::size_t i = 0; i < sent.size(); ++i) {
    if (i >= back.size()) {
      return "Verify failed at offset " + Hex(static_cast<unsigned>(i), 8) + ": only " + std::to_string(back.size()) +
             " bytes read back";
    }
    if (sent[i] != back[i]) {
      return "Verify failed at offset " + Hex(static_cast<unsigned>(i), 8) + ": sent " + Hex(sent[i], 2) +
             ", read back " + Hex(back[i], 2);
    }
  }
  return "";
}

bool IsDatabase(const ConsoleJob& job) { return job.mode == Mode::Database; }

}  // namespace

TransferRunner::TransferRunner(ConsoleJob job, RunOptions options, Interrupts& interrupts)
    : m_job(std::move(job)), m_options(std::move(options)), m_interrupts(interrupts) {}

TransferRunner::~TransferRunner() = default;

RunReport TransferRunner::Run() {
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<ProgressView> view;
  JsonProgress* json = nullptr;
  if (m_options.json) {
    auto progress = std::make_unique<JsonProgress>(stderr, m_options.portText, m_options.output);
    json = progress.get();
    view = std::move(progress);
  } else {
    view = std::make_unique<ProgressLine>(stderr, m_options.output);
  }
  ConsoleHost host(m_job, *view, m_options.output);
  m_simulator = m_options.port.simulated ? StartSimulator(m_options) : nullptr;
  if (json != nullptr) {
    json->Start(m_simulator ? m_simulator->DevicePath() : m_options.portText, m_options.subject);
  }
  RunReport report;
  report.port = m_options.portText;
  if (m_options.port.simulated && !m_simulator) {
    host.MessageBox(CantOpenPortMessage(m_job.port.number));
    report.status = kExitFailure;
  } else {
    report.status = Transfer(host);
  }
  report.device = host.Device();
  report.result = host.LastMessage();
  // Memory windows go out without progress: all of them went when the box took them.
  report.bytes = report.status == kExitSuccess ? std::max(host.BytesDone(), m_options.subject.size) : host.BytesDone();
  if (report.status == kExitSuccess && m_options.verify) {
    report.status = Verify(*view);
    report.result = m_verifyResult;
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (json != nullptr) {
    json->End(report.result, report.status);
  }
  return report;
}

int TransferRunner::Transfer(ConsoleHost& host) {
  InterruptListener listener(m_interrupts, host.Events());
  const ConsoleJob& job = host.Job();
  LoaderLink link;
  for (const auto& [port, device] : ReadPortSettings(DefaultSettingsFile())) {
    link.SetDeviceOverride(port, device);
  }
  if (m_simulator) {
    link.SetDeviceOverride(job.port.number, m_simulator->DevicePath());
  } else if (!m_options.port.device.empty()) {
    link.SetDeviceOverride(job.port.number, m_options.port.device);
  }
  FrameTracer tracer(stderr, m_options.output);
  if (m_options.trace) {
    link.SetTrace(
        [&tracer](bool fromPc, const std::uint8_t* data, std::size_t count) { tracer.Trace(fromPc, data, count); });
  }

  PhotoConverterSettings converterSettings;
  converterSettings.startDirectory = std::filesystem::current_path();
  PhotoConverter converter(converterSettings, [&host](const std::string& text) { host.MessageBox(text); });
  TransferSession session(link, AllRolesOf(host), converter);
  host.Attach(&session);

  int status = Connect(link, host, job, m_options);
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

std::optional<std::vector<std::uint8_t>> TransferRunner::SentBytes() const {
  if (IsDatabase(m_job)) {
    return m_job.openFile ? ReadWholeFile(*m_job.openFile) : std::nullopt;
  }
  return m_job.viewerData;
}

// The same window uploaded into a private temporary file, on the same port.
int TransferRunner::Verify(ProgressView& view) {
  const std::optional<std::vector<std::uint8_t>> sent = SentBytes();
  const std::filesystem::path folder = MakePrivateFolder("tarnwick-verify");
  if (!sent || folder.empty()) {
    m_verifyResult = "Verify failed: the bytes sent cannot be read again";
    WriteLine(stdout, m_options.output, m_verifyResult);
    return kExitFailure;
  }
  const std::string readBack = (folder / "read-back.bin").string();
  ConsoleJob back = m_job;
  back.download = false;
  back.openFile.reset();
  back.viewerData.clear();
  if (IsDatabase(m_job)) {
    back.saveFile = readBack;
  } else {
    back.uploadOutput = readBack;
    back.sizeText = std::to_string(sent->size());
  }
  ConsoleHost host(back, view, m_options.output);
  int status = Transfer(host);
  if (status == kExitSuccess) {
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(readBack);
    m_verifyResult = bytes ? Difference(*sent, *bytes) : "Verify failed: the read-back file is gone";
    if (m_verifyResult.empty()) {
      m_verifyResult = "Verified " + std::to_string(sent->size()) + " bytes";
      view.Status(m_verifyResult);
    } else {
      host.MessageBox(m_verifyResult);
      status = kExitFailure;
    }
  } else {
    m_verifyResult = "Verify failed: " + host.LastMessage();
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}

}  // namespace tw
