#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "cli/console_job.h"
#include "cli/event_queue.h"
#include "cli/output_tag.h"
#include "cli/progress_view.h"
#include "link/chunk_sink.h"
#include "session/session_roles.h"

namespace tw {

class TransferSession;

// The exit statuses of tarnwick-cli.
enum ExitStatus : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2, kExitTimeout = 3, kExitInterrupted = 130 };

// The session's host on a console: messages on stdout, progress on stderr, an event loop on the main
// thread fed by the reader thread.
class ConsoleHost : public EveryRoleHost, public ChunkSink {
 public:
  // Progress as a redrawn bar or lines on stderr.
  explicit ConsoleHost(ConsoleJob job);
  // Progress through `view`, which outlives the host; messages on stdout as `tag` says.
  ConsoleHost(ConsoleJob job, ProgressView& view, OutputTag tag);

  void Attach(TransferSession* session) { m_session = session; }
  [[nodiscard]] EventQueue& Events() { return m_events; }
  [[nodiscard]] const ConsoleJob& Job() const { return m_job; }
  // Names the device a port number stands for, before it is opened.
  void AnnounceDevice(int portNumber, const std::string& device);
  // Dispatches events until the operation ends; returns the exit status.
  int Run();
  [[nodiscard]] std::optional<int> Outcome() const { return m_outcome; }
  [[nodiscard]] const std::string& Device() const { return m_device; }
  // The last message box's text, or what ended the run without one.
  [[nodiscard]] const std::string& LastMessage() const { return m_lastMessage; }
  [[nodiscard]] std::uint64_t BytesDone() const { return m_bytesDone; }
  [[nodiscard]] ProgressView& View() { return m_progress; }

  // ChunkSink
  void PostReceivedData(std::size_t length) override;
  void PostLineLost() override;
  void ShowPortMessage(const std::string& text) override;

  // ControlValues
  ComPort Port() override { return m_job.port; }
  LineSpeed Speed() override { return m_job.speed; }
  Mode SelectedMode() override { return m_job.mode; }
  void SelectMode(Mode mode) override { m_job.mode = mode; }
  bool DownloadChecked() override { return m_job.download; }
  std::string StartText() override { return m_job.startText; }
  std::string SizeText() override { return m_job.sizeText; }
  void SetComStatus(bool connected) override;
  // Prompts
  void MessageBox(const std::string& text) override;
  std::optional<std::string> AskOpenFile(const std::string& filter) override;
  std::optional<std::string> AskSaveFile(const std::string& filter) override;
  // ProgressDisplay
  void SetProgress(int position, std::uint64_t done, std::uint64_t total) override;
  void SetProgressCaption(const std::string& caption) override;
  // ViewerBuffer: the job's bytes go out; an upload lands in its output file, which holds nothing before.
  std::vector<std::uint8_t> ViewerData() override { return m_job.viewerData; }
  void ViewerBeginUpload(std::uint32_t) override {}
  void ViewerShowUpload(const std::uint8_t* data, std::size_t count) override;
  // HostTimers
  void StartWatchdog(int milliseconds) override;
  void StopWatchdog() override { m_watchdog.reset(); }
  void Pause(int milliseconds) override;
  void ShowWaitDialog(const std::string& text) override;
  void HideWaitDialog() override;
  bool WaitDialogShown() override { return m_waitShown; }
  void PumpMessages() override;
  // BatchList
  std::size_t SelectedCount() override { return m_job.selected.size(); }
  SelectedFileInfo FirstSelected() override { return m_job.selected.front(); }
  void RemoveFirstSelected() override;
  void PostFileDone() override;
  FileDoneWait WaitForFileDone() override;
  void CancelFileDoneWait() override { m_fileDoneCancelled = true; }
  // OperationResult
  void OperationFinished(bool success) override;

 private:
  using Clock = EventQueue::Clock;
  enum class Step { Event, Idle };
  Step DispatchOne(Clock::time_point until);
  void Dispatch(const CliEvent& event);
  void OnDeadline();
  void RestartIdleTimer();
  [[nodiscard]] Clock::time_point NextDeadline() const;
  void Finish(int status);
  void ShowWaiting(Clock::time_point now);

  void Note(const std::string& text);

  ConsoleJob m_job;
  TransferSession* m_session = nullptr;
  EventQueue m_events;
  std::unique_ptr<ProgressView> m_ownView;
  ProgressView& m_progress;
  OutputTag m_tag;
  std::string m_lastMessage;
  std::uint64_t m_bytesDone = 0;
  std::optional<int> m_outcome;
  std::optional<Clock::time_point> m_watchdog;
  Clock::time_point m_idleDeadline;
  // Until the box's first reply: since when, and when the waiting line is next shown.
  std::string m_device;
  bool m_heardFromBox = false;
  Clock::time_point m_waitingSince;
  std::optional<Clock::time_point> m_waitingTick;
  std::string m_waitingLine;  // as shown on a terminal
  bool m_waitShown = false;
  bool m_fileDone = false;
  bool m_fileDoneCancelled = false;
};

}  // namespace tw
