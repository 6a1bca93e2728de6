#include "cli/console_host.h"

#include <cstdio>
#include <thread>
#include <utility>

#include "cli/progress_line.h"
#include "session/session_context.h"
#include "session/session_texts.h"
#include "session/transfer_session.h"
#include "session/upload_file.h"

namespace tw {

namespace {

constexpr auto kNever = std::chrono::hours(24 * 365);
// A box that answers at once gets no waiting line.
constexpr auto kWaitingTick = std::chrono::seconds(1);

}  // namespace

ConsoleHost::ConsoleHost(ConsoleJob job)
    : m_job(std::move(job)), m_ownView(std::make_unique<ProgressLine>(stderr)), m_progress(*m_ownView) {
  RestartIdleTimer();
}

ConsoleHost::ConsoleHost(ConsoleJob job, ProgressView& view, OutputTag tag)
    : m_job(std::move(job)), m_progress(view), m_tag(std::move(tag)) {
  RestartIdleTimer();
}

// A line on stderr that also stands as the run's result, when no message box follows it.
void ConsoleHost::Note(const std::string& text) {
  m_lastMessage = text;
  m_progress.Status(text);
}

// The box is silent while the PC itself pauses or converts a photo: that time is not counted.
void ConsoleHost::RestartIdleTimer() {
  m_idleDeadline =
      Clock::now() + (m_job.idleTimeoutSeconds > 0 ? std::chrono::seconds(m_job.idleTimeoutSeconds)
                                                   : std::chrono::duration_cast<std::chrono::seconds>(kNever));
}

void ConsoleHost::AnnounceDevice(int portNumber, const std::string& device) {
  m_device = device.empty() ? "no serial device" : device;
  m_progress.NameDevice(m_device);
  m_progress.Status("COM " + std::to_string(portNumber) + " -> " + m_device);
}

int ConsoleHost::Run() {
  if (!m_heardFromBox) {
    m_waitingSince = Clock::now();
    m_waitingTick = m_waitingSince + kWaitingTick;
  }
  while (!m_outcome) {
    DispatchOne(NextDeadline());
  }
  m_progress.Finish();
  return *m_outcome;
}

ConsoleHost::Clock::time_point ConsoleHost::NextDeadline() const {
  Clock::time_point next = m_watchdog ? std::min(*m_watchdog, m_idleDeadline) : m_idleDeadline;
  return m_waitingTick ? std::min(*m_waitingTick, next) : next;
}

ConsoleHost::Step ConsoleHost::DispatchOne(Clock::time_point until) {
  // Nobody reads what we report any more (a closed pipe): a run nobody sees must not go on.
  if (std::ferror(stdout) != 0 || std::ferror(stderr) != 0) {
    Finish(kExitFailure);
    return Step::Idle;
  }
  if (const std::optional<CliEvent> event = m_events.PopUntil(until)) {
    Dispatch(*event);
    return Step::Event;
  }
  OnDeadline();
  return Step::Idle;
}

void ConsoleHost::Dispatch(const CliEvent& event) {
  switch (event.kind) {
    case CliEvent::Kind::ReceivedData:
      m_heardFromBox = true;
      m_waitingTick.reset();
      m_progress.Withdraw(m_waitingLine);
      RestartIdleTimer();
      m_session->OnReceivedData(event.length);
      break;
    case CliEvent::Kind::LineLost:
      m_session->OnLineLost();
      break;
    case CliEvent::Kind::FileDone:
      m_fileDone = true;
      break;
    case CliEvent::Kind::Interrupt:
      Note("Interrupted");
      Finish(kExitInterrupted);
      break;
  }
}

void ConsoleHost::OnDeadline() {
  const Clock::time_point now = Clock::now();
  if (m_waitingTick && now >= *m_waitingTick) {
    ShowWaiting(now);
  }
  if (m_watchdog && now >= *m_watchdog) {
    m_watchdog.reset();
    m_session->OnTimer(kWatchdogTimerId);
  }
  if (now >= m_idleDeadline) {
    Note("No reply from the box for " + std::to_string(m_job.idleTimeoutSeconds) + " seconds");
    Finish(kExitTimeout);
  }
}

// On a terminal a line that counts the seconds; elsewhere one line.
void ConsoleHost::ShowWaiting(Clock::time_point now) {
  const std::string text = "Waiting for the box on " + m_device;
  if (!m_progress.OnTerminal()) {
    m_progress.Status(text + " ...");
    m_waitingTick.reset();
    return;
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - m_waitingSince).count();
  m_waitingLine = text + " (" + std::to_string(seconds) + " s)";
  m_progress.Caption(m_waitingLine);
  m_waitingTick = now + kWaitingTick;
}

void ConsoleHost::Finish(int status) {
  if (!m_outcome) {
    m_outcome = status;
  }
}

void ConsoleHost::PostReceivedData(std::size_t length) { m_events.Push({CliEvent::Kind::ReceivedData, length}); }

void ConsoleHost::PostLineLost() { m_events.Push({CliEvent::Kind::LineLost, 0}); }

void ConsoleHost::ShowPortMessage(const std::string& text) { MessageBox(text); }

void ConsoleHost::SetComStatus(bool connected) {
  m_progress.Status(connected ? "COM : Connected" : "COM : Not Connected");
}

void ConsoleHost::MessageBox(const std::string& text) {
  m_lastMessage = text;
  m_progress.Message(text);
  WriteLine(stdout, m_tag, text);
}

void ConsoleHost::SetProgress(int position, std::uint64_t done, std::uint64_t total) {
  m_bytesDone = done;
  m_progress.Update(position, done, total);
}

void ConsoleHost::SetProgressCaption(const std::string& caption) { m_progress.Caption(caption); }

std::optional<std::string> ConsoleHost::AskOpenFile(const std::string&) { return m_job.openFile; }

std::optional<std::string> ConsoleHost::AskSaveFile(const std::string&) { return m_job.saveFile; }

void ConsoleHost::ViewerShowUpload(const std::uint8_t* data, std::size_t count) {
  if (!m_job.uploadOutput) {
    return;
  }
  UploadFile output;
  if (!output.Create(*m_job.uploadOutput) || !output.Write(data, count) || !output.Commit()) {
    MessageBox(text::CantOpen(*m_job.uploadOutput));
    Finish(kExitFailure);
    return;
  }
  // The dialog shows the bytes in its viewer; here the only sign of success would be the exit status.
  m_progress.Status("Uploaded " + std::to_string(count) + " bytes of " +
                    std::string(kModeNames.at(static_cast<std::size_t>(m_job.mode))) + " from " + m_job.startText +
                    " into " + *m_job.uploadOutput);
}

void ConsoleHost::StartWatchdog(int milliseconds) {
  m_watchdog = Clock::now() + std::chrono::milliseconds(milliseconds);
}

void ConsoleHost::Pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  RestartIdleTimer();
}

void ConsoleHost::HideWaitDialog() {
  m_waitShown = false;
  RestartIdleTimer();
}

void ConsoleHost::ShowWaitDialog(const std::string& text) {
  m_waitShown = true;
  m_progress.Status(text);
}

void ConsoleHost::PumpMessages() {
  while (!m_outcome && DispatchOne(Clock::now()) == Step::Event) {
  }
}

void ConsoleHost::RemoveFirstSelected() { m_job.selected.erase(m_job.selected.begin()); }

void ConsoleHost::PostFileDone() { m_events.Push({CliEvent::Kind::FileDone, 0}); }

FileDoneWait ConsoleHost::WaitForFileDone() {
  m_fileDone = false;
  m_fileDoneCancelled = false;
  while (!m_outcome && !m_fileDone && !m_fileDoneCancelled) {
    DispatchOne(NextDeadline());
  }
  if (m_fileDone) {
    return FileDoneWait::Done;
  }
  return m_fileDoneCancelled ? FileDoneWait::Cancelled : FileDoneWait::Closing;
}

void ConsoleHost::OperationFinished(bool success) { Finish(success ? kExitSuccess : kExitFailure); }

}  // namespace tw
