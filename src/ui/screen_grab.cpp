#include "ui/screen_grab.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "controls/flat_combo_box.h"
#include "controls/hex_viewer.h"
#include "controls/skin_radio_button.h"
#include "link/wire_format.h"
#include "ui/dialog_host.h"
#include "ui/file_tree_ctrl.h"
#include "ui/loader_dlg.h"

namespace tw {

namespace {

// Long enough for the window system to map and paint the window.
constexpr int kSettleMs = 700;
// The files scene shows an enlarged window: a whole viewer row, longer names in the tree and list.
const QSize kEnlargedBy(180, 120);

}  // namespace

ScreenGrab::ScreenGrab(CLoaderDlg& dialog, QString path, GrabScene scene)
    : m_dialog(dialog), m_path(std::move(path)), m_scene(scene) {
  QTimer::singleShot(kSettleMs, this, &ScreenGrab::Begin);
}

void ScreenGrab::Begin() {
  switch (m_scene) {
    case GrabScene::AsOpened:
      Grab();
      break;
    case GrabScene::AfterUpload:
      connect(&m_dialog.Host(), &DialogHost::UploadShown, this,
              [this] { QTimer::singleShot(kSettleMs, this, &ScreenGrab::Grab); });
      StartUpload();
      break;
    case GrabScene::WithSelection:
      connect(&m_dialog.Host(), &DialogHost::UploadShown, this, [this] {
        DragOverBytes();
        QTimer::singleShot(kSettleMs, this, &ScreenGrab::Grab);
      });
      StartUpload();
      break;
    case GrabScene::WithFiles:
      m_dialog.resize(m_dialog.size() + kEnlargedBy);
      ListFiles();
      QTimer::singleShot(kSettleMs, this, &ScreenGrab::Grab);
      break;
  }
}

// As the operator would: expand the last folder, select its files, press "->".
void ScreenGrab::ListFiles() {
  CFileTreeCtrl& tree = m_dialog.FileTree();
  QTreeWidgetItem* lastFolder = tree.topLevelItem(2);
  if (lastFolder == nullptr) {
    return;
  }
  tree.expandItem(lastFolder);
  QTreeWidgetItem* first = nullptr;
  QTreeWidgetItem* last = nullptr;
  for (int i = 0; i < lastFolder->childCount(); ++i) {
    QTreeWidgetItem* child = lastFolder->child(i);
    if (CFileTreeCtrl::KindOf(child) == CFileTreeCtrl::NodeKind::File) {
      first = first != nullptr ? first : child;
      last = child;
    }
  }
  if (first != nullptr && tree.SelectItems(first, last)) {
    m_dialog.OnAdd();
  }
}

// As the operator would: press on a byte of the second row and release five rows down.
void ScreenGrab::DragOverBytes() {
  QWidget* viewport = m_dialog.HexViewer().viewport();
  const HexLayout& layout = m_dialog.HexViewer().Model().Layout();
  const int charWidth = layout.CharWidth();
  const int lineHeight = layout.LineHeight();
  const QPointF from(QPoint(layout.HexColumnX() + 3 * 5 * charWidth + 1, lineHeight + lineHeight / 2));
  const QPointF to(QPoint(layout.HexColumnX() + 3 * 11 * charWidth + 1, 6 * lineHeight + lineHeight / 2));
  const auto send = [viewport](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
  };
  send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// As the operator would: mode SDRAM (its address defaults), Upload, Start.
void ScreenGrab::StartUpload() {
  m_dialog.ModeCombo().setCurrentIndex(static_cast<int>(Mode::Sdram));
  m_dialog.OnSelchangeMode();
  m_dialog.DownloadRadio().SetCheck(0);
  m_dialog.UploadRadio().SetCheck(1);
  m_dialog.OnStart();
}

void ScreenGrab::Grab() {
  QScreen* screen = m_dialog.screen();
  const QPixmap shot = screen != nullptr ? screen->grabWindow(m_dialog.winId()) : m_dialog.grab();
  if (!shot.save(m_path, "PNG")) {
    std::fprintf(stderr, "tarnwick: cannot write %s\n", m_path.toLocal8Bit().constData());
  }
  m_dialog.reject();
}

}  // namespace tw
