#include "ui/file_list_ctrl.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "media/mp3_info.h"
#include "ui/file_icons.h"

namespace tw {

namespace {

constexpr int kImageRole = Qt::UserRole;
const QColor kGridColour(Qt::lightGray);

// An entry: the list item plus the record it owns, so deleting the item is what releases the record.
class FileListItem : public QTreeWidgetItem {
 public:
  FileListItem(std::unique_ptr<SelectedFile> file, const QString& text)
      : QTreeWidgetItem(QStringList{text}), m_file(std::move(file)) {}

  [[nodiscard]] const SelectedFile& File() const { return *m_file; }

 private:
  std::unique_ptr<SelectedFile> m_file;
};

QString NameOf(const QString& path) {
  const qsizetype separator = path.lastIndexOf(QDir::separator());
  return separator < 0 ? path : path.mid(separator + 1);
}

bool IsPhotoName(const QString& name) { return !IsMp3Name(name.toStdString()); }

}  // namespace

CFileListCtrl::CFileListCtrl(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderLabels({QString::fromLatin1(kColumnHeading)});
  setColumnWidth(0, kColumnWidth);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(kFileIconWidth, kFileIconHeight));
}

int CFileListCtrl::InsertFile(int index, std::unique_ptr<SelectedFile> file, const QString& text) {
  const int image = file->isPhoto != 0 ? kPhotoImage : kMp3Image;
  auto* item = new FileListItem(std::move(file), text);  // owned by the list from the insert on
  item->setIcon(0, image == kPhotoImage ? CameraIcon() : NoteIcon());
  item->setData(0, kImageRole, image);
  item->setBackground(0, RowColour());
  const int at = std::clamp(index, 0, topLevelItemCount());
  insertTopLevelItem(at, item);
  return at;
}

QStringList CFileListCtrl::AddFromTree(const QStringList& selectedPaths) {
  QStringList tooLong;
  for (const QString& path : selectedPaths) {
    const QString name = NameOf(path);
    if (name.isEmpty() || QFileInfo(path).isDir()) {
      continue;
    }
    auto file = std::make_unique<SelectedFile>();
    if (!file->SetPath(path.toStdString())) {
      tooLong.append(path);
      continue;
    }
    file->isPhoto = IsPhotoName(name) ? 1 : 0;
    InsertFile(GetItemCount(), std::move(file), name);
  }
  return tooLong;
}

int CFileListCtrl::GetItemCount() const { return topLevelItemCount(); }

QString CFileListCtrl::GetItemText(int index) const {
  const QTreeWidgetItem* item = topLevelItem(index);
  return item != nullptr ? item->text(0) : QString();
}

const SelectedFile* CFileListCtrl::GetItemData(int index) const {
  // Items put in through the base class's own calls carry no record.
  const auto* item = dynamic_cast<const FileListItem*>(topLevelItem(index));
  return item != nullptr ? &item->File() : nullptr;
}

int CFileListCtrl::GetItemImage(int index) const {
  const QTreeWidgetItem* item = topLevelItem(index);
  return item != nullptr ? item->data(0, kImageRole).toInt() : -1;
}

bool CFileListCtrl::DeleteItem(int index) {
  std::unique_ptr<QTreeWidgetItem> item(takeTopLevelItem(index));
  return item != nullptr;
}

void CFileListCtrl::DeleteSelectedItems() {
  std::vector<int> selected;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    selected.push_back(index.row());
  }
  // From the highest index down, so the lower ones still name the same entries.
  std::sort(selected.begin(), selected.end(), std::greater<>());
  for (const int index : selected) {
    DeleteItem(index);
  }
}

void CFileListCtrl::DeleteAllItems() {
  while (GetItemCount() > 0) {
    DeleteItem(GetItemCount() - 1);
  }
}

std::unique_ptr<QMenu> CFileListCtrl::CreateContextMenu() {
  // No parent: the caller's pointer is the only owner, whichever of the two goes first.
  auto menu = std::make_unique<QMenu>();
  QAction* deleteAction = menu->addAction(QString::fromLatin1(kDeleteText));
  deleteAction->setData(kDeleteCommand);
  connect(deleteAction, &QAction::triggered, this, &CFileListCtrl::DeleteSelectedItems);
  return menu;
}

QColor CFileListCtrl::RowColour() { return QColor(250, 255, 206); }

void CFileListCtrl::contextMenuEvent(QContextMenuEvent* event) {
  // Shown wherever the click falls, empty space included.
  CreateContextMenu()->exec(event->globalPos());
}

void CFileListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint()); item != nullptr) {
      DeleteItem(indexOfTopLevelItem(item));
      return;
    }
  }
  QTreeWidget::mouseDoubleClickEvent(event);
}

int CFileListCtrl::FirstSelectedIndex() const {
  for (int index = 0; index < GetItemCount(); ++index) {
    if (topLevelItem(index)->isSelected()) {
      return index;
    }
  }
  return -1;
}

void CFileListCtrl::ForwardKey(QKeyEvent* event, Qt::Key key) {
  QKeyEvent forwarded(QEvent::KeyPress, key, event->modifiers());
  QTreeWidget::keyPressEvent(&forwarded);
  event->accept();
}

void CFileListCtrl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const int first = FirstSelectedIndex();
  // Past either end the caret wraps round to the other. An empty list also takes the Down branch
  // (-1 == 0 - 1), where Home finds nothing to do.
  if ((key == Qt::Key_Down || key == Qt::Key_PageDown) && first == GetItemCount() - 1) {
    ForwardKey(event, Qt::Key_Home);
  } else if ((key == Qt::Key_Up || key == Qt::Key_PageUp) && first == 0) {
    ForwardKey(event, Qt::Key_End);
  } else {
    QTreeWidget::keyPressEvent(event);
  }
}

void CFileListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QTreeWidget::drawRow(painter, option, index);
  // Grid lines under every entry, as in a report-view list.
  const QPen previous = painter->pen();
  painter->setPen(kGridColour);
  painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
  painter->setPen(previous);
}

}  // namespace tw
