#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One entry of the selected-files list as the batch sees it.
struct SelectedFileInfo {
  std::string path;
  std::string name;  // the entry's text: the file name without folder
  bool isPhoto = false;
};

enum class FileDoneWait { Done, Closing, Cancelled };

// Everything the dialog supplies to a transfer session. The Qt dialog and the console host implement it;
// tests use a scripted one. Every call comes on the owner's thread.
class SessionHost {
 public:
  virtual ~SessionHost() = default;

  // Control values.
  [[nodiscard]] virtual int PortIndex() = 0;
  [[nodiscard]] virtual int SpeedIndex() = 0;
  [[nodiscard]] virtual int ModeIndex() = 0;
  virtual void SelectMode(int modeIndex) = 0;  // the selection only; no change handling runs
  [[nodiscard]] virtual bool DownloadChecked() = 0;
  [[nodiscard]] virtual std::string StartText() = 0;
  [[nodiscard]] virtual std::string SizeText() = 0;
  virtual void SetComStatus(bool connected) = 0;

  // A modal message box with an OK button; returns when the operator closed it.
  virtual void MessageBox(const std::string& text) = 0;

  // Progress bar: a position 0..100 (with the byte counts behind it), or a caption in text display.
  virtual void SetProgress(int position, std::uint64_t done, std::uint64_t total) = 0;
  virtual void SetProgressCaption(const std::string& caption) = 0;

  // File pickers; nothing when cancelled. The filter is "Text|*.a;*.b|Text|*.c||".
  virtual std::optional<std::string> AskOpenFile(const std::string& filter) = 0;
  virtual std::optional<std::string> AskSaveFile(const std::string& filter) = 0;

  // The hex viewer's buffer.
  [[nodiscard]] virtual std::vector<std::uint8_t> ViewerData() = 0;
  virtual void ViewerSetAddressBase(std::uint32_t address) = 0;
  virtual void ViewerClear() = 0;
  virtual void ViewerShowUpload(const std::uint8_t* data, std::size_t count) = 0;

  // Timer 1, the reply watchdog; its expiry comes back as the session's OnTimer(1).
  virtual void StartWatchdog(int milliseconds) = 0;
  virtual void StopWatchdog() = 0;
  virtual void Pause(int milliseconds) = 0;

  // The wait dialog.
  virtual void ShowWaitDialog(const std::string& text) = 0;
  virtual void HideWaitDialog() = 0;
  [[nodiscard]] virtual bool WaitDialogShown() = 0;
  virtual void PumpMessages() = 0;

  // The selected-files list.
  [[nodiscard]] virtual std::size_t SelectedCount() = 0;
  [[nodiscard]] virtual SelectedFileInfo FirstSelected() = 0;
  virtual void RemoveFirstSelected() = 0;

  // The file-done message: posted by the engine, waited for by the batch while every other event is
  // dispatched. Closing means the owner is going away (or the run ended): the batch must return.
  virtual void PostFileDone() = 0;
  virtual FileDoneWait WaitForFileDone() = 0;
  virtual void CancelFileDoneWait() = 0;

  // The operation reached its success end, or ended in a failure that stops it. Only the console host
  // acts on it (exit status); the dialog ignores it.
  virtual void OperationFinished(bool success) = 0;
};

}  // namespace tw
