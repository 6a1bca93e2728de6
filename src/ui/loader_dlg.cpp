#include "ui/loader_dlg.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include "controls/flat_combo_box.h"
#include "controls/flat_edit.h"
#include "controls/hex_viewer.h"
#include "controls/percent_progress_ctrl.h"
#include "controls/skin_check_box.h"
#include "controls/skin_radio_button.h"
#include "controls/wait_dialog.h"
#include "link/loader_link.h"
#include "media/photo_converter.h"
#include "session/transfer_session.h"
#include "ui/about_dlg.h"
#include "ui/app_icon.h"
#include "ui/app_settings.h"
#include "ui/control_factory.h"
#include "ui/dialog_host.h"
#include "ui/dialog_texts.h"
#include "ui/dialog_units.h"
#include "ui/file_list_ctrl.h"
#include "ui/file_tree_ctrl.h"
#include "ui/template_layout.h"
#include "ui/widget_prompter.h"

namespace tw {

namespace {

constexpr int kDialogFontPoints = 9;
constexpr int kDefaultOperation = 0;
constexpr int kDefaultPort = 0;
constexpr int kDefaultSpeed = 4;
constexpr Mode kDefaultMode = Mode::GzipProgram;

enum class Direction { Unchanged, Download, Upload };

struct OperationChoice {
  Mode mode;
  Direction direction;
};

// Indexed by the operation combo's index.
constexpr std::array<OperationChoice, kOperationItems.size()> kOperationChoices{
    OperationChoice{Mode::GzipProgram, Direction::Unchanged},
    OperationChoice{Mode::Database, Direction::Download},
    OperationChoice{Mode::Database, Direction::Upload},
    OperationChoice{Mode::Boot, Direction::Download},
};

// The address window a memory mode proposes in the Start and Size edits.
const char* const kDefaultSize = "1024";

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

template <std::size_t N>
void FillCombo(CFlatComboBox& combo, const std::array<std::string_view, N>& items) {
  for (const std::string_view item : items) {
    combo.addItem(Latin1(item));
  }
}

}  // namespace

CLoaderDlg::CLoaderDlg(LoaderDlgOptions options) : QDialog(nullptr), m_options(std::move(options)) {
  if (!m_options.prompter) {
    m_options.prompter = std::make_unique<WidgetPrompter>();
  }
  setWindowTitle(Latin1(kLoaderDialogCaption));
  setFont(DialogUnits::TemplateFont("Tahoma", kDialogFontPoints));
  CreateControls();
  DoDataExchange();
  FillCombo(*m_port, kPortItems);
  FillCombo(*m_speed, kSpeedItems);
  FillCombo(*m_operation, kOperationItems);
  FillCombo(*m_mode, kModeNames);
  FitLayout();
  m_waitDialog = std::make_unique<CWaitDialog>();
  m_waitDialog->setFont(font());
  m_waitDialog->ApplyBaseUnits(CWaitDialog::FontBaseUnits(font()));
  m_host = std::make_unique<DialogHost>(
      DialogControls{this, m_port, m_speed, m_mode, m_download, m_startEdit, m_sizeEdit, m_comGroup, m_progress,
                     m_hexViewer, m_fileList, m_waitDialog.get(), Bind<QLabel>(idc::kPortStatus)},
      *m_options.prompter);
  ConnectHandlers();
  OnInitDialog();
}

CLoaderDlg::~CLoaderDlg() { OnDestroy(); }

void CLoaderDlg::CreateControls() {
  const DialogUnits units(font());
  std::vector<QWidget*> items;
  for (const DialogItem& item : kLoaderDialogItems) {
    QWidget* control = CreateDialogControl(item, this, units);
    items.push_back(control);
    if (item.id != idc::kStatic) {
      m_controls[item.id] = control;
    }
  }
  m_layout = std::make_unique<TemplateLayout>(kLoaderDialogItems, std::move(items), font());
  NameUnlabelledControls();
}

// Controls with no label of their own beside them, named for screen readers as the operator sees them.
void CLoaderDlg::NameUnlabelledControls() {
  static constexpr std::array<std::pair<int, const char*>, 4> kNames{{
      {idc::kHexViewer, "Hex viewer"},
      {idc::kFileTree, "Select Files (only MP3, Photo)"},
      {idc::kFileList, "Selected Files"},
      {idc::kPortStatus, "Port status"},
  }};
  for (const auto& [id, name] : kNames) {
    Control(id)->setAccessibleName(QString::fromLatin1(name));
  }
}

// Once the combos hold their items: units wide enough for every text the fields will show.
void CLoaderDlg::FitLayout() {
  QStringList starts;
  for (const StartDefault& defaults : kStartDefaults) {
    starts << Latin1(defaults.start);
  }
  m_layout->FitTexts({{idc::kStartEdit, starts}, {idc::kSizeEdit, {QString::fromLatin1(kDefaultSize)}}});
  m_layout->Place(QSize());
  m_layout->TieLabelsToFields();
  setFixedSize(m_layout->TemplateSize(kLoaderDialogSize));
}

const DialogUnits& CLoaderDlg::Units() const { return m_layout->Units(); }

// Queued, so that the window is painted before a held-back port message covers it.
void CLoaderDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QMetaObject::invokeMethod(m_host.get(), &DialogHost::ShowHeldMessages, Qt::QueuedConnection);
}

// The template's size is the least; an engineer may enlarge the window to see more of the panel.
void CLoaderDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (m_layout) {
    m_layout->Place(size() - m_layout->TemplateSize(kLoaderDialogSize));
  }
}

template <typename T>
T* CLoaderDlg::Bind(int id) const {
  return qobject_cast<T*>(Control(id));
}

QWidget* CLoaderDlg::Control(int id) const {
  const auto found = m_controls.find(id);
  return found == m_controls.end() ? nullptr : found->second;
}

void CLoaderDlg::DoDataExchange() {
  m_operation = Bind<CFlatComboBox>(idc::kOperation);
  m_comGroup = Bind<QGroupBox>(idc::kComGroup);
  m_add = Bind<QPushButton>(idc::kAdd);
  m_exit = Bind<QPushButton>(idc::kExit);
  m_start = Bind<QPushButton>(idc::kStart);
  m_upload = Bind<CSkinRadioButton>(idc::kUpload);
  m_download = Bind<CSkinRadioButton>(idc::kDownload);
  m_fileTree = Bind<CFileTreeCtrl>(idc::kFileTree);
  m_progress = Bind<CPercentProgressCtrl>(idc::kProgress);
  m_fileList = Bind<CFileListCtrl>(idc::kFileList);
  m_startEdit = Bind<CFlatEdit>(idc::kStartEdit);
  m_sizeEdit = Bind<CFlatEdit>(idc::kSizeEdit);
  m_hexViewer = Bind<CHexViewer>(idc::kHexViewer);
  m_speed = Bind<CFlatComboBox>(idc::kSpeed);
  m_port = Bind<CFlatComboBox>(idc::kPort);
  m_mode = Bind<CFlatComboBox>(idc::kMode);
  m_hexCodeCheck = Bind<CSkinCheckBox>(idc::kHexCodeCheck);
  m_asciiCheck = Bind<CSkinCheckBox>(idc::kAsciiCheck);
  m_addressCheck = Bind<CSkinCheckBox>(idc::kAddressCheck);
}

void CLoaderDlg::ConnectHandlers() {
  // activated() is the user's choice only: selections the program makes run no handler.
  connect(m_operation, &QComboBox::activated, this, &CLoaderDlg::OnSelchangeOperation);
  connect(m_mode, &QComboBox::activated, this, &CLoaderDlg::OnSelchangeMode);
  connect(m_port, &QComboBox::activated, this, &CLoaderDlg::OnSelchangePort);
  connect(m_start, &QPushButton::clicked, this, &CLoaderDlg::OnStart);
  connect(m_exit, &QPushButton::clicked, this, &CLoaderDlg::OnExit);
  connect(m_add, &QPushButton::clicked, this, &CLoaderDlg::OnAdd);
  for (CSkinCheckBox* check : {m_addressCheck, m_hexCodeCheck, m_asciiCheck}) {
    connect(check, &CSkinButton::clicked, this, &CLoaderDlg::OnColumnCheck);
  }
  connect(m_fileTree, &CFileTreeCtrl::SelChanged, this, [](const QString& path) { AppSettings::StoreLastDir(path); });
}

void CLoaderDlg::OnInitDialog() {
  setWindowIcon(ApplicationIcon());
  if (m_options.engineering) {
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    CenterWindow();
  } else {
    CollapseDialog(idc::kDivider);
  }
  m_operation->setCurrentIndex(kDefaultOperation);
  m_fileTree->Initialize(true);
  m_port->setCurrentIndex(kDefaultPort);
  m_speed->setCurrentIndex(kDefaultSpeed);
  m_mode->setCurrentIndex(static_cast<int>(kDefaultMode));
  m_download->SetCheck(1);
  m_sizeEdit->setEnabled(false);
  m_startEdit->setEnabled(false);
  CreateSession();
  m_host->SetComStatus(m_link->Connect(m_host->Port(), m_host->Speed(), m_host.get()));
  for (CSkinCheckBox* check : {m_addressCheck, m_hexCodeCheck, m_asciiCheck}) {
    check->SetCheck(1);
  }
  m_startEdit->clear();
  m_sizeEdit->clear();
}

// The link, the converter (working in the start directory, the current one now) and the session on them.
void CLoaderDlg::CreateSession() {
  m_link = std::make_unique<LoaderLink>();
  for (const auto& [port, device] : AppSettings::ReadPortDevices()) {
    m_link->SetDeviceOverride(port, device);
  }
  for (const auto& [port, device] : m_options.deviceOverrides) {
    m_link->SetDeviceOverride(port, device);
  }
  PhotoConverterSettings settings;
  settings.startDirectory = std::filesystem::current_path();
  settings.programDirectory = m_options.converterDirectory;
  DialogHost* host = m_host.get();
  m_converter = std::make_unique<PhotoConverter>(settings, [host](const std::string& text) { host->MessageBox(text); });
  m_session = std::make_unique<TransferSession>(*m_link, m_host->Roles(), *m_converter);
  m_host->Attach(m_session.get(), m_link.get());
}

void CLoaderDlg::CollapseDialog(int dividerId) {
  if (!m_collapsedRect) {
    const QRect divider = Control(dividerId)->geometry();
    m_collapsedRect = QRect(0, 0, width(), divider.top());
  }
  setFixedSize(m_collapsedRect->size());
  EnableVisibleChildren();
  CenterWindow();
}

// A child stays enabled only where it lies (at least partly) inside the dialog as it is now.
void CLoaderDlg::EnableVisibleChildren() {
  const QRect visible = rect();
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->setEnabled(child->geometry().intersects(visible));
  }
}

void CLoaderDlg::CenterWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    QRect placed(QPoint(), size());
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
  }
}

void CLoaderDlg::OnSelchangeOperation() {
  const int operation = m_operation->currentIndex();
  if (operation < 0 || operation >= static_cast<int>(kOperationChoices.size())) {
    return;
  }
  const OperationChoice& choice = kOperationChoices[static_cast<std::size_t>(operation)];
  m_mode->setCurrentIndex(static_cast<int>(choice.mode));
  if (choice.direction != Direction::Unchanged) {
    m_download->SetCheck(choice.direction == Direction::Download ? 1 : 0);
    m_upload->SetCheck(choice.direction == Direction::Upload ? 1 : 0);
  }
}

void CLoaderDlg::OnSelchangeMode() {
  const int mode = m_mode->currentIndex();
  if (mode >= 0) {
    const std::optional<std::string_view> start = DefaultStartText(static_cast<Mode>(mode));
    if (start) {
      m_startEdit->setText(Latin1(*start));
      m_sizeEdit->setText(QString::fromLatin1(kDefaultSize));
    }
    m_startEdit->setEnabled(start.has_value());
    m_sizeEdit->setEnabled(start.has_value());
  }
  m_hexViewer->Clear();
  RedrawViewer();
}

void CLoaderDlg::OnSelchangePort() { m_session->OnSelchangePort(); }

void CLoaderDlg::OnStart() {
  m_host->BeginOperation();
  m_session->OnStart();
}

void CLoaderDlg::OnExit() { reject(); }

void CLoaderDlg::OnColumnCheck() {
  m_hexViewer->SetColumns(m_addressCheck->GetCheck() != 0, m_hexCodeCheck->GetCheck() != 0,
                          m_asciiCheck->GetCheck() != 0, true);
  RedrawViewer();
}

void CLoaderDlg::OnAdd() {
  const QStringList tooLong = m_fileList->AddFromTree(m_fileTree->GetSelectedFilePaths());
  for (const QString& path : tooLong) {
    m_host->MessageBox(dlgtext::PathTooLong(path.toStdString()));
  }
}

void CLoaderDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CLoaderDlg::RedrawViewer() { m_hexViewer->viewport()->repaint(); }

// Every way out of the dialog (Exit, Enter, Escape, the window's close button) comes through here. A
// running transfer (a flash write among them) is stopped only when the operator says so.
void CLoaderDlg::done(int result) {
  if (!m_closing && m_session && m_session->Running() &&
      !m_options.prompter->AskYesNo(this, Latin1(dlgtext::kStopTransfer))) {
    return;
  }
  OnDestroy();
  QDialog::done(result);
}

void CLoaderDlg::OnDestroy() {
  if (m_closing) {
    return;
  }
  m_closing = true;
  if (m_host) {
    m_host->SetClosing();
  }
  if (m_session) {
    m_session->OnClosing();
  }
  m_fileList->DeleteAllItems();
  if (m_link) {
    m_link->Close();
  }
}

// Enter ends the dialog unless a push button has the focus, which it then clicks; Escape cancels. While a
// transfer runs neither ends it: a stray key must not cut a flash write short.
void CLoaderDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter && event->key() != Qt::Key_Escape) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && enter) {
    button->click();
  } else if (m_session->Running()) {
    event->accept();
  } else if (enter) {
    accept();
  } else {
    reject();
  }
}

// Linux window managers offer no system menu to add to: the about command lives in the context menu.
void CLoaderDlg::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* about = menu.addAction(Latin1(kAboutCommandText));
  about->setData(kAboutCommandId);
  connect(about, &QAction::triggered, this, &CLoaderDlg::OnAbout);
  menu.exec(event->globalPos());
}

}  // namespace tw
