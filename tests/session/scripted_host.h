#pragma once
// A session host for tests: control values set by the test, every effect recorded, chunks queued for the
// test's thread, which plays the dialog's thread.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/chunk_sink.h"
#include "session/session_roles.h"
#include "support/link_events.h"

namespace tw::test {

class ScriptedHost : public EveryRoleHost, public ChunkSink {
 public:
  // Controls.
  Mode mode = Mode::GzipProgram;
  bool download = true;
  std::string start;
  std::string size;
  std::optional<std::string> openAnswer;
  std::optional<std::string> saveAnswer;
  std::vector<std::uint8_t> viewer;
  std::vector<SelectedFileInfo> selected;
  // A slow operator: every message box stays open this long, holding the chunk that raised it.
  std::chrono::milliseconds messageDelay{0};
  // What happens while a batch waits for its file to be stored (the test plays the box and the
  // operator there); without it the wait ends as if the dialog closed.
  std::function<FileDoneWait()> whileBatchWaits;
  bool fileDoneCancelled = false;

  // Effects.
  std::vector<std::string> messages;
  std::vector<int> progress;
  std::vector<std::string> captions;
  std::optional<bool> comStatus;
  std::optional<bool> outcome;
  std::vector<std::uint8_t> uploadShown;

  // ChunkSink: the reader thread's notifications, queued.
  void PostReceivedData(std::size_t length) override { m_events.Push(length); }
  void PostLineLost() override { m_events.Push(kLineLost); }
  void ShowPortMessage(const std::string& text) override { messages.push_back(text); }

  static constexpr std::size_t kLineLost = LinkEvents::kLineLost;
  // The next notification; nothing within the limit means the link is stuck.
  std::optional<std::size_t> Next(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return m_events.Next(limit);
  }

  [[nodiscard]] SessionRoles Roles() { return AllRolesOf(*this); }

  ComPort Port() override { return {}; }
  LineSpeed Speed() override { return kFastestSpeed; }
  Mode SelectedMode() override { return mode; }
  void SelectMode(Mode chosen) override { mode = chosen; }
  bool DownloadChecked() override { return download; }
  std::string StartText() override { return start; }
  std::string SizeText() override { return size; }
  void SetComStatus(bool connected) override { comStatus = connected; }
  void MessageBox(const std::string& text) override {
    messages.push_back(text);
    std::this_thread::sleep_for(messageDelay);
  }
  void SetProgress(int position, std::uint64_t, std::uint64_t) override { progress.push_back(position); }
  void SetProgressCaption(const std::string& caption) override { captions.push_back(caption); }
  std::optional<std::string> AskOpenFile(const std::string&) override { return openAnswer; }
  std::optional<std::string> AskSaveFile(const std::string&) override { return saveAnswer; }
  std::vector<std::uint8_t> ViewerData() override { return viewer; }
  void ViewerBeginUpload(std::uint32_t) override {}
  void ViewerShowUpload(const std::uint8_t* data, std::size_t count) override {
    uploadShown.assign(data, data + count);
  }
  // The test plays the clock: no watchdog fires, no pause waits.
  void StartWatchdog(int) override {}
  void StopWatchdog() override {}
  void Pause(int) override {}
  void ShowWaitDialog(const std::string&) override { m_waitShown = true; }
  void HideWaitDialog() override { m_waitShown = false; }
  bool WaitDialogShown() override { return m_waitShown; }
  void PumpMessages() override {}
  std::size_t SelectedCount() override { return selected.size(); }
  SelectedFileInfo FirstSelected() override { return selected.front(); }
  void RemoveFirstSelected() override { selected.erase(selected.begin()); }
  void PostFileDone() override {}
  FileDoneWait WaitForFileDone() override {
    fileDoneCancelled = false;
    return whileBatchWaits ? whileBatchWaits() : FileDoneWait::Closing;
  }
  void CancelFileDoneWait() override { fileDoneCancelled = true; }
  void OperationFinished(bool success) override { outcome = success; }

 private:
  LinkEvents m_events;
  bool m_waitShown = false;
};

}  // namespace tw::test
