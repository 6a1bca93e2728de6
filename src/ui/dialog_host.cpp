#include "ui/dialog_host.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <utility>

#include "controls/flat_combo_box.h"
#include "controls/flat_edit.h"
#include "controls/hex_viewer.h"
#include "controls/percent_progress_ctrl.h"
#include "controls/skin_radio_button.h"
#include "controls/wait_dialog.h"
#include "link/port_open_error.h"
#include "link/serial_comm.h"
#include "session/session_context.h"
#include "session/session_texts.h"
#include "session/transfer_session.h"
#include "ui/file_filter.h"
#include "ui/file_list_ctrl.h"
#include "ui/prompter.h"

namespace tw {

namespace {

const QEvent::Type kReceivedDataEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kLineLostEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kFileDoneEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// The received-data message: a chunk of `length` bytes waits in the link's buffer.
class ReceivedDataEvent : public QEvent {
 public:
  explicit ReceivedDataEvent(std::size_t length) : QEvent(kReceivedDataEvent), m_length(length) {}
  [[nodiscard]] std::size_t Length() const { return m_length; }

 private:
  std::size_t m_length;
};

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

std::optional<std::string> ToStd(const std::optional<QString>& path) {
  return path ? std::optional<std::string>(path->toStdString()) : std::nullopt;
}

}  // namespace

DialogHost::DialogHost(const DialogControls& controls, Prompter& prompter)
    : m_controls(controls), m_prompter(prompter) {
  m_watchdog.setSingleShot(true);
  connect(&m_watchdog, &QTimer::timeout, this, [this] {
    if (m_session != nullptr && !m_closing) {
      m_session->OnTimer(kWatchdogTimerId);
    }
  });
}

DialogHost::~DialogHost() { SetClosing(); }

void DialogHost::SetClosing() {
  m_closing = true;
  m_watchdog.stop();
  if (m_controls.waitDialog != nullptr) {
    m_controls.waitDialog->Hide();
  }
  QuitWaits();
}

void DialogHost::QuitWaits() {
  for (QEventLoop* loop : m_waits) {
    loop->quit();
  }
}

void DialogHost::RunWait(QEventLoop& loop) {
  if (m_closing) {
    return;
  }
  m_waits.push_back(&loop);
  loop.exec();
  m_waits.erase(std::find(m_waits.begin(), m_waits.end(), &loop));
}

// Reader thread: posting is the only thing done here; the GUI thread handles the chunk.
void DialogHost::PostReceivedData(std::size_t length) {
  QCoreApplication::postEvent(this, new ReceivedDataEvent(length));
}

void DialogHost::PostLineLost() { QCoreApplication::postEvent(this, new QEvent(kLineLostEvent)); }

// At start-up the port opens before the window is shown: a message then would come out of nowhere.
void DialogHost::ShowPortMessage(const std::string& text) {
  if (m_controls.dialog->isVisible()) {
    MessageBox(text);
  } else {
    m_heldMessages.push_back(text);
  }
}

void DialogHost::ShowHeldMessages() {
  for (const std::string& text : std::exchange(m_heldMessages, {})) {
    MessageBox(text);
  }
}

void DialogHost::customEvent(QEvent* event) {
  if (m_session == nullptr || m_closing) {
    return;
  }
  if (event->type() == kReceivedDataEvent) {
    m_session->OnReceivedData(static_cast<ReceivedDataEvent*>(event)->Length());
  } else if (event->type() == kLineLostEvent) {
    m_session->OnLineLost();
  } else if (event->type() == kFileDoneEvent && m_fileDoneWait != nullptr) {
    // Only a waiting batch looks for this message; nobody else handles it.
    m_fileDoneResult = FileDoneWait::Done;
    m_fileDoneWait->quit();
  }
}

// The combos list the ports from COM1, the speeds by their wire codes and the modes in their order.
ComPort DialogHost::Port() { return ComPort{static_cast<std::uint8_t>(m_controls.port->currentIndex() + 1)}; }

LineSpeed DialogHost::Speed() { return static_cast<LineSpeed>(m_controls.speed->currentIndex()); }

Mode DialogHost::SelectedMode() { return static_cast<Mode>(m_controls.mode->currentIndex()); }

void DialogHost::SelectMode(Mode mode) { m_controls.mode->setCurrentIndex(static_cast<int>(mode)); }

bool DialogHost::DownloadChecked() { return m_controls.download->GetCheck() != 0; }

std::string DialogHost::StartText() { return m_controls.startEdit->text().toStdString(); }

std::string DialogHost::SizeText() { return m_controls.sizeEdit->text().toStdString(); }

void DialogHost::SetComStatus(bool connected) {
  const std::string_view caption = connected ? text::kComConnected : text::kComNotConnected;
  m_controls.comGroup->setTitle(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
  ShowPortDevices(connected);
}

void DialogHost::ShowPortDevices(bool connected) {
  if (m_link == nullptr || m_controls.portStatus == nullptr) {
    return;
  }
  CFlatComboBox& ports = *m_controls.port;
  for (int i = 0; i < ports.count(); ++i) {
    ports.setItemData(i, FromStd(m_link->DevicePathFor(i + 1)), Qt::ToolTipRole);
  }
  const int port = Port().number;
  const std::string device = m_link->DevicePathFor(port);
  ports.setToolTip(FromStd(device));
  const std::string hint = connected ? std::string() : PortOpenHint(m_link->LastOpenError());
  const std::string status =
      hint.empty() ? "COM " + std::to_string(port) + ": " + (device.empty() ? "-" : device) : hint;
  QLabel& label = *m_controls.portStatus;
  label.setToolTip(FromStd(status));
  label.setText(label.fontMetrics().elidedText(FromStd(status), Qt::ElideMiddle, label.width()));
}

void DialogHost::MessageBox(const std::string& text) {
  const QString message = FromStd(text);
  m_prompter.MessageBox(m_controls.dialog, message);
  emit MessageShown(message);
}

void DialogHost::SetProgress(int position, std::uint64_t done, std::uint64_t) {
  if (done == 0 || m_newOperation) {
    // A new transfer: the percentage replaces the caption the last one ended with (an upload's first
    // report comes with bytes already received).
    m_controls.progress->SetWindowText(QString());
    m_newOperation = false;
  }
  m_controls.progress->SetPos(position);
  emit ProgressShown(position);
}

void DialogHost::SetProgressCaption(const std::string& caption) {
  m_controls.progress->SetShowText(true);
  m_controls.progress->SetWindowText(FromStd(caption));
}

std::optional<std::string> DialogHost::AskOpenFile(const std::string& filter) {
  return ToStd(m_prompter.AskOpenFile(m_controls.dialog, QtFileFilter(filter)));
}

std::optional<std::string> DialogHost::AskSaveFile(const std::string& filter) {
  return ToStd(m_prompter.AskSaveFile(m_controls.dialog, QtFileFilter(filter)));
}

std::vector<std::uint8_t> DialogHost::ViewerData() {
  const std::uint8_t* data = m_controls.hexViewer->GetData();
  return data == nullptr ? std::vector<std::uint8_t>()
                         : std::vector<std::uint8_t>(data, data + m_controls.hexViewer->GetLength());
}

void DialogHost::ViewerBeginUpload(std::uint32_t address) {
  m_controls.hexViewer->SetAddressBase(address);
  m_controls.hexViewer->Clear();
  m_controls.hexViewer->viewport()->repaint();
}

void DialogHost::ViewerShowUpload(const std::uint8_t* data, std::size_t count) {
  CHexViewer& viewer = *m_controls.hexViewer;
  for (std::uint32_t i = 0; i < count; ++i) {
    viewer.AppendByte(data[i], i);
  }
  viewer.SetLength(static_cast<std::uint32_t>(count));
  viewer.viewport()->repaint();
  emit UploadShown();
}

void DialogHost::StartWatchdog(int milliseconds) {
  if (!m_closing) {
    m_watchdog.start(milliseconds);
  }
}

void DialogHost::StopWatchdog() { m_watchdog.stop(); }

// The dialog keeps working meanwhile: received data, timers and the operator's input are all handled.
void DialogHost::Pause(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  RunWait(loop);
}

void DialogHost::ShowWaitDialog(const std::string& text) {
  if (!m_closing) {
    m_controls.waitDialog->ShowCentredOn(m_controls.dialog, FromStd(text));
  }
}

void DialogHost::HideWaitDialog() { m_controls.waitDialog->Hide(); }

bool DialogHost::WaitDialogShown() { return m_controls.waitDialog->IsShown(); }

void DialogHost::PumpMessages() {
  // Enough for the wait dialog to appear and be painted before a blocking step.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::size_t DialogHost::SelectedCount() { return static_cast<std::size_t>(m_controls.fileList->GetItemCount()); }

SelectedFileInfo DialogHost::FirstSelected() {
  const SelectedFile* file = m_controls.fileList->GetItemData(0);
  if (file == nullptr) {
    return {};
  }
  return {std::string(file->Path()), m_controls.fileList->GetItemText(0).toStdString(), file->isPhoto != 0};
}

void DialogHost::RemoveFirstSelected() { m_controls.fileList->DeleteItem(0); }

void DialogHost::PostFileDone() { QCoreApplication::postEvent(this, new QEvent(kFileDoneEvent)); }

FileDoneWait DialogHost::WaitForFileDone() {
  QEventLoop loop;
  m_fileDoneWait = &loop;
  m_fileDoneResult = FileDoneWait::Closing;
  RunWait(loop);
  m_fileDoneWait = nullptr;
  return m_closing ? FileDoneWait::Closing : m_fileDoneResult;
}

void DialogHost::CancelFileDoneWait() {
  if (m_fileDoneWait != nullptr) {
    m_fileDoneResult = FileDoneWait::Cancelled;
    m_fileDoneWait->quit();
  }
}

}  // namespace tw
