#pragma once

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <vector>

#include "link/chunk_sink.h"
#include "session/session_roles.h"

class QEventLoop;
class QGroupBox;
class QLabel;
class QWidget;

namespace tw {

class CFileListCtrl;
class CFlatComboBox;
class CFlatEdit;
class CHexViewer;
class CPercentProgressCtrl;
class CSerialComm;
class CSkinRadioButton;
class TransferSession;
class CWaitDialog;
class Prompter;

// The main dialog's controls that a transfer session reads and drives; the dialog owns them all.
struct DialogControls {
  QWidget* dialog = nullptr;
  CFlatComboBox* port = nullptr;
  CFlatComboBox* speed = nullptr;
  CFlatComboBox* mode = nullptr;
  CSkinRadioButton* download = nullptr;
  CFlatEdit* startEdit = nullptr;
  CFlatEdit* sizeEdit = nullptr;
  QGroupBox* comGroup = nullptr;
  CPercentProgressCtrl* progress = nullptr;
  CHexViewer* hexViewer = nullptr;
  CFileListCtrl* fileList = nullptr;
  CWaitDialog* waitDialog = nullptr;
  QLabel* portStatus = nullptr;
};

// The session's host inside the dialog: control values, message boxes, pickers and timers on the GUI
// thread, and the link's notifications from the reader thread turned into posted events. The combo
// indices become a port, a speed and a mode here.
class DialogHost : public QObject,
                   public ControlValues,
                   public Prompts,
                   public ProgressDisplay,
                   public ViewerBuffer,
                   public HostTimers,
                   public BatchList,
                   public ChunkSink {
  Q_OBJECT

 public:
  DialogHost(const DialogControls& controls, Prompter& prompter);
  ~DialogHost() override;

  void Attach(TransferSession* session, const CSerialComm* link) {
    m_session = session;
    m_link = link;
  }
  // The window is on screen: a port message held back until now is shown over it.
  void ShowHeldMessages();
  // The operator pressed Start: the bar's next position belongs to a new operation.
  void BeginOperation() { m_newOperation = true; }
  // The dialog is going away: every wait returns, later events and timers are dropped.
  void SetClosing();
  [[nodiscard]] bool Closing() const { return m_closing; }
  // The operator reads an operation's result off the dialog: nobody is told.
  [[nodiscard]] SessionRoles Roles() { return {*this, *this, *this, *this, *this, *this, NoOperationResult()}; }

  // ChunkSink
  void PostReceivedData(std::size_t length) override;
  void PostLineLost() override;
  void ShowPortMessage(const std::string& text) override;

  // ControlValues
  ComPort Port() override;
  LineSpeed Speed() override;
  Mode SelectedMode() override;
  void SelectMode(Mode mode) override;
  bool DownloadChecked() override;
  std::string StartText() override;
  std::string SizeText() override;
  void SetComStatus(bool connected) override;
  // Prompts
  void MessageBox(const std::string& text) override;
  std::optional<std::string> AskOpenFile(const std::string& filter) override;
  std::optional<std::string> AskSaveFile(const std::string& filter) override;
  // ProgressDisplay
  void SetProgress(int position, std::uint64_t done, std::uint64_t total) override;
  void SetProgressCaption(const std::string& caption) override;
  // ViewerBuffer
  std::vector<std::uint8_t> ViewerData() override;
  void ViewerBeginUpload(std::uint32_t address) override;
  void ViewerShowUpload(const std::uint8_t* data, std::size_t count) override;
  // HostTimers
  void StartWatchdog(int milliseconds) override;
  void StopWatchdog() override;
  void Pause(int milliseconds) override;
  void ShowWaitDialog(const std::string& text) override;
  void HideWaitDialog() override;
  bool WaitDialogShown() override;
  void PumpMessages() override;
  // BatchList
  std::size_t SelectedCount() override;
  SelectedFileInfo FirstSelected() override;
  void RemoveFirstSelected() override;
  void PostFileDone() override;
  FileDoneWait WaitForFileDone() override;
  void CancelFileDoneWait() override;

 signals:
  // A memory upload has been put into the hex viewer.
  void UploadShown();
  // A message box has been answered.
  void MessageShown(const QString& text);
  // The progress bar has been set to this position.
  void ProgressShown(int position);

 protected:
  void customEvent(QEvent* event) override;

 private:
  // Runs a nested event loop until it is quit by the caller's condition or by closing.
  void RunWait(QEventLoop& loop);
  // Each COM entry's device as its tooltip, and the status line: the device, or why it did not open.
  void ShowPortDevices(bool connected);
  void QuitWaits();

  DialogControls m_controls;
  Prompter& m_prompter;
  TransferSession* m_session = nullptr;
  const CSerialComm* m_link = nullptr;
  std::vector<std::string> m_heldMessages;  // port messages from before the window was shown
  QTimer m_watchdog;
  std::vector<QEventLoop*> m_waits;  // nested loops running right now, innermost last
  QEventLoop* m_fileDoneWait = nullptr;
  FileDoneWait m_fileDoneResult = FileDoneWait::Done;
  bool m_closing = false;
  bool m_newOperation = false;
};

}  // namespace tw
