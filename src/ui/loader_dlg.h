#pragma once

#include <QDialog>
#include <QRect>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ui/prompter.h"

class QGroupBox;
class QPushButton;

namespace tw {

class CFileListCtrl;
class CFileTreeCtrl;
class CFlatComboBox;
class CFlatEdit;
class CHexViewer;
class LoaderLink;
class CPercentProgressCtrl;
class CSkinCheckBox;
class CSkinRadioButton;
class TransferSession;
class CWaitDialog;
class DialogHost;
class DialogUnits;
class TemplateLayout;
class PhotoConverter;

struct LoaderDlgOptions {
  // Opens expanded with the lower panel enabled.
  bool engineering = false;
  // Port number (1..5) -> device path, e.g. the embedded simulated box as COM 1.
  std::map<int, std::string> deviceOverrides;
  // Null: real message boxes and file dialogs.
  std::unique_ptr<Prompter> prompter;
  // Where the photo converter is looked for first; the program's folder when unset.
  std::optional<std::filesystem::path> converterDirectory;
};

// The main dialog (resource 102): serial settings, the operation, Start and Exit, the progress bar, and
// below the divider the engineering panel. It owns the controls, the loader link and the transfer session.
class CLoaderDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CLoaderDlg(LoaderDlgOptions options = {});
  ~CLoaderDlg() override;
  CLoaderDlg(const CLoaderDlg&) = delete;
  CLoaderDlg& operator=(const CLoaderDlg&) = delete;

  // Handlers, as the controls' notifications call them.
  void OnSelchangeOperation();
  void OnSelchangeMode();
  void OnSelchangePort();
  void OnStart();
  void OnExit();
  void OnColumnCheck();
  void OnAdd();
  void OnAbout();

  [[nodiscard]] QWidget* Control(int id) const;
  [[nodiscard]] CFlatComboBox& OperationCombo() const { return *m_operation; }
  [[nodiscard]] CFlatComboBox& PortCombo() const { return *m_port; }
  [[nodiscard]] CFlatComboBox& SpeedCombo() const { return *m_speed; }
  [[nodiscard]] CFlatComboBox& ModeCombo() const { return *m_mode; }
  [[nodiscard]] CSkinRadioButton& DownloadRadio() const { return *m_download; }
  [[nodiscard]] CSkinRadioButton& UploadRadio() const { return *m_upload; }
  [[nodiscard]] CFlatEdit& StartEdit() const { return *m_startEdit; }
  [[nodiscard]] CFlatEdit& SizeEdit() const { return *m_sizeEdit; }
  [[nodiscard]] CHexViewer& HexViewer() const { return *m_hexViewer; }
  [[nodiscard]] CFileTreeCtrl& FileTree() const { return *m_fileTree; }
  [[nodiscard]] CFileListCtrl& FileList() const { return *m_fileList; }
  [[nodiscard]] CPercentProgressCtrl& Progress() const { return *m_progress; }
  [[nodiscard]] QGroupBox& ComGroup() const { return *m_comGroup; }
  [[nodiscard]] CSkinCheckBox& AddressCheck() const { return *m_addressCheck; }
  [[nodiscard]] CSkinCheckBox& HexCodeCheck() const { return *m_hexCodeCheck; }
  [[nodiscard]] CSkinCheckBox& AsciiCheck() const { return *m_asciiCheck; }
  [[nodiscard]] CWaitDialog& WaitDialog() const { return *m_waitDialog; }
  [[nodiscard]] DialogHost& Host() const { return *m_host; }
  [[nodiscard]] bool IsClosing() const { return m_closing; }
  // The dialog units the template is laid out in.
  [[nodiscard]] const DialogUnits& Units() const;

 protected:
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();
  void FitLayout();
  void NameUnlabelledControls();
  void DoDataExchange();
  template <typename T>
  [[nodiscard]] T* Bind(int id) const;
  void ConnectHandlers();
  void OnInitDialog();
  void CreateSession();
  void CollapseDialog(int dividerId);
  void EnableVisibleChildren();
  void CenterWindow();
  void RedrawViewer();
  void OnDestroy();

  LoaderDlgOptions m_options;
  std::map<int, QWidget*> m_controls;  // children, owned by the dialog as their parent
  std::unique_ptr<TemplateLayout> m_layout;

  // Bound controls, in binding order.
  CFlatComboBox* m_operation = nullptr;
  QGroupBox* m_comGroup = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_exit = nullptr;
  QPushButton* m_start = nullptr;
  CSkinRadioButton* m_upload = nullptr;
  CSkinRadioButton* m_download = nullptr;
  CFileTreeCtrl* m_fileTree = nullptr;
  CPercentProgressCtrl* m_progress = nullptr;
  CFileListCtrl* m_fileList = nullptr;
  CFlatEdit* m_startEdit = nullptr;
  CFlatEdit* m_sizeEdit = nullptr;
  CHexViewer* m_hexViewer = nullptr;
  CFlatComboBox* m_speed = nullptr;
  CFlatComboBox* m_port = nullptr;
  CFlatComboBox* m_mode = nullptr;
  CSkinCheckBox* m_hexCodeCheck = nullptr;
  CSkinCheckBox* m_asciiCheck = nullptr;
  CSkinCheckBox* m_addressCheck = nullptr;

  bool m_closing = false;
  // Computed on the first collapse and kept, as the dialog never grows back.
  std::optional<QRect> m_collapsedRect;

  // Declared so that the session goes first and the wait dialog last.
  std::unique_ptr<CWaitDialog> m_waitDialog;
  std::unique_ptr<DialogHost> m_host;
  std::unique_ptr<LoaderLink> m_link;
  std::unique_ptr<PhotoConverter> m_converter;
  std::unique_ptr<TransferSession> m_session;
};

}  // namespace tw
