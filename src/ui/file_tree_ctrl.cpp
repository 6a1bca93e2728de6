#include "ui/file_tree_ctrl.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

#include "ui/app_settings.h"
#include "ui/registry_key.h"

namespace tw {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kBasePathRole = Qt::UserRole + 1;

// The nine spellings the tree lists; any other case (.mP3, .Jpg) is left out on purpose.
constexpr std::array<const char*, 9> kWantedSuffixes = {".mp3", ".MP3", ".Mp3", ".bmp", ".BMP",
                                                        ".jpg", ".JPG", ".gif", ".GIF"};

// Keys whose Windows virtual-key code lies below the space bar's: they keep the selection.
constexpr std::array<int, 13> kKeysBelowSpace = {
    Qt::Key_Cancel, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Clear,    Qt::Key_Return, Qt::Key_Enter,
    Qt::Key_Shift,  Qt::Key_Control,   Qt::Key_Alt, Qt::Key_Pause,   Qt::Key_CapsLock, Qt::Key_Escape};

bool IsKeyBelowSpace(int key) {
  return std::find(kKeysBelowSpace.begin(), kKeysBelowSpace.end(), key) != kKeysBelowSpace.end();
}

QString WithSeparator(const QString& path) {
  return path.endsWith(QDir::separator()) ? path : path + QDir::separator();
}

// What the tree shows for a path: its last component, or the path itself for a volume root.
QString DisplayName(const QString& path) {
  QString name = QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(path))).fileName();
  if (!name.isEmpty()) {
    return name;
  }
  return path.isEmpty() ? QString(QDir::separator()) : path;
}

// Folders and files build their path from their text; roots and volumes carry theirs.
bool IsOrdinary(const QTreeWidgetItem* node) {
  const auto kind = CFileTreeCtrl::KindOf(node);
  return kind == CFileTreeCtrl::NodeKind::Folder || kind == CFileTreeCtrl::NodeKind::File;
}

// The empty child that gives an unread folder its expand button.
void AddPlaceholder(QTreeWidgetItem* node) {
  auto* placeholder = new QTreeWidgetItem(QStringList{QString()});  // owned by node from here on
  placeholder->setData(0, kKindRole, static_cast<int>(CFileTreeCtrl::NodeKind::Placeholder));
  node->addChild(placeholder);
}

bool IsDescendant(const QTreeWidgetItem* node, const QTreeWidgetItem* ancestor) {
  for (const QTreeWidgetItem* up = node != nullptr ? node->parent() : nullptr; up != nullptr; up = up->parent()) {
    if (up == ancestor) {
      return true;
    }
  }
  return false;
}

}  // namespace

CFileTreeCtrl::CFileTreeCtrl(QWidget* parent) : QTreeWidget(parent), m_listVolumes(ListMountedVolumes) {
  setHeaderHidden(true);
  setColumnCount(1);
  // A long name scrolls sideways, as in the platform's tree, rather than losing its end to an ellipsis.
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  setUniformRowHeights(true);
  // The view never selects on its own: the caret rule and the Ctrl/Shift handling below do.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QTreeWidget::itemExpanded, this, &CFileTreeCtrl::PopulateItem);
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) { DeleteChildItems(node, true); });
  connect(this, &QTreeWidget::currentItemChanged, this, &CFileTreeCtrl::OnCurrentChanged);
}

void CFileTreeCtrl::Initialize(bool clear) {
  if (clear) {
    // Emptying the tree is no choice of the user's, so it must not overwrite the stored folder.
    const QSignalBlocker quiet(this);
    QTreeWidget::clear();
  }
  m_anchor = QPersistentModelIndex();
  const QString lastFolder = AppSettings::ReadLastDir();
  AddShellItem(ReadDesktopPath(), nullptr, true, m_icons.icon(QFileIconProvider::Desktop), NodeKind::Desktop);
  AddItem(QString::fromLatin1(kMyComputerText), nullptr, true, m_icons.icon(QFileIconProvider::Computer),
          NodeKind::MyComputer);
  AddShellItem(lastFolder, nullptr, true, m_icons.icon(QFileIconProvider::Folder), NodeKind::LastFolder);
}

QString CFileTreeCtrl::ReadDesktopPath() const {
  CRegistryKey key;
  key.SetRootKey(kHkeyCurrentUser);
  if (!key.SetKey(kShellFoldersKey, false)) {
    return {};
  }
  const QString fallback = QDir::toNativeSeparators(QDir::rootPath());
  return QString::fromStdString(key.ReadString(kDesktopValue, fallback.toStdString()));
}

QTreeWidgetItem* CFileTreeCtrl::AddItem(const QString& text, QTreeWidgetItem* parent, bool withPlaceholder,
                                        const QIcon& icon, NodeKind kind, const QString& basePath) {
  auto* node = new QTreeWidgetItem(QStringList{text});  // the tree or its parent node owns it at once
  node->setIcon(0, icon);
  node->setData(0, kKindRole, static_cast<int>(kind));
  node->setData(0, kBasePathRole, basePath);
  if (parent != nullptr) {
    parent->addChild(node);
  } else {
    addTopLevelItem(node);
  }
  if (withPlaceholder) {
    AddPlaceholder(node);
  }
  return node;
}

QTreeWidgetItem* CFileTreeCtrl::AddShellItem(const QString& path, QTreeWidgetItem* parent, bool withPlaceholder,
                                             const QIcon& icon, NodeKind kind) {
  return AddItem(DisplayName(path), parent, withPlaceholder, icon, kind, path);
}

void CFileTreeCtrl::PopulateItem(QTreeWidgetItem* node) {
  if (KindOf(node) == NodeKind::MyComputer) {
    PopulateVolumes(node);
  } else {
    PopulateFolder(node);
  }
}

void CFileTreeCtrl::PopulateVolumes(QTreeWidgetItem* node) {
  DeleteChildItems(node, false);
  const QIcon driveIcon = m_icons.icon(QFileIconProvider::Drive);
  for (const TreeVolume& volume : m_listVolumes()) {
    AddItem(volume.displayName, node, true, driveIcon, NodeKind::Drive, volume.rootString);
  }
}

void CFileTreeCtrl::PopulateFolder(QTreeWidgetItem* node) {
  // Taken while the placeholder still stands, so a folder's path keeps its trailing separator.
  const QString path = GetItemPath(node);
  DeleteChildItems(node, false);
  if (path.isEmpty()) {
    return;
  }
  // A folder that cannot be read just stays empty. Both lists come sorted by name: the file system's
  // own order means nothing here.
  const QDir folder(path);
  constexpr QDir::SortFlags kByName = QDir::Name | QDir::IgnoreCase;
  for (const QFileInfo& entry : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, kByName)) {
    AddItem(entry.fileName(), node, true, m_icons.icon(entry), NodeKind::Folder);
  }
  for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden, kByName)) {
    if (IsWantedFile(entry.fileName())) {
      AddItem(entry.fileName(), node, false, m_icons.icon(entry), NodeKind::File);
    }
  }
}

void CFileTreeCtrl::DeleteChildItems(QTreeWidgetItem* node, bool addPlaceholder) {
  // Like a collapse in the shell, the caret climbs to the node instead of vanishing with its children.
  if (IsDescendant(currentItem(), node)) {
    setCurrentItem(node);
  }
  qDeleteAll(node->takeChildren());
  if (addPlaceholder) {
    AddPlaceholder(node);
  }
}

QString CFileTreeCtrl::GetItemPath(const QTreeWidgetItem* node) const {
  if (node == nullptr || KindOf(node) == NodeKind::Placeholder) {
    return {};
  }
  QString tail;
  const QTreeWidgetItem* root = node;
  for (; root != nullptr && IsOrdinary(root); root = root->parent()) {
    tail.prepend(root->text(0) + QDir::separator());
  }
  if (root == nullptr || KindOf(root) == NodeKind::MyComputer) {
    return {};
  }
  QString path = WithSeparator(root->data(0, kBasePathRole).toString()) + tail;
  if (IsOrdinary(node) && node->childCount() == 0) {
    path.chop(1);
  }
  return path;
}

bool CFileTreeCtrl::IsWantedFile(const QString& fileName) const {
  return std::any_of(kWantedSuffixes.begin(), kWantedSuffixes.end(),
                     [&](const char* suffix) { return fileName.endsWith(QLatin1String(suffix), Qt::CaseSensitive); });
}

CFileTreeCtrl::NodeKind CFileTreeCtrl::KindOf(const QTreeWidgetItem* node) {
  return static_cast<NodeKind>(node->data(0, kKindRole).toInt());
}

void CFileTreeCtrl::SetVolumeLister(VolumeLister lister) { m_listVolumes = std::move(lister); }

QTreeWidgetItem* CFileTreeCtrl::GetFirstSelectedItem() const {
  QTreeWidgetItem* node = topLevelItem(0);
  while (node != nullptr && !node->isSelected()) {
    node = itemBelow(node);
  }
  return node;
}

QTreeWidgetItem* CFileTreeCtrl::GetNextSelectedItem(const QTreeWidgetItem* node) const {
  QTreeWidgetItem* next = itemBelow(node);
  while (next != nullptr && !next->isSelected()) {
    next = itemBelow(next);
  }
  return next;
}

QStringList CFileTreeCtrl::GetSelectedFilePaths() const {
  QStringList paths;
  for (QTreeWidgetItem* node = GetFirstSelectedItem(); node != nullptr; node = GetNextSelectedItem(node)) {
    if (KindOf(node) == NodeKind::File) {
      paths.append(GetItemPath(node));
    }
  }
  return paths;
}

void CFileTreeCtrl::ClearSelection() {
  for (QTreeWidgetItem* node = topLevelItem(0); node != nullptr; node = itemBelow(node)) {
    if (node->isSelected()) {
      node->setSelected(false);
    }
  }
}

bool CFileTreeCtrl::SelectItems(QTreeWidgetItem* from, QTreeWidgetItem* to) {
  QTreeWidgetItem* node = topLevelItem(0);
  for (; node != nullptr && node != from && node != to; node = itemBelow(node)) {
    node->setSelected(false);
  }
  if (node == nullptr) {
    return false;
  }
  const QTreeWidgetItem* last = node == from ? to : from;
  setCurrentItem(to);
  bool inRange = true;
  for (; node != nullptr; node = itemBelow(node)) {
    node->setSelected(inRange);
    if (node == last) {
      inRange = false;
    }
  }
  return true;
}

void CFileTreeCtrl::OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
  if (previous != nullptr) {
    previous->setSelected(false);
  }
  if (current != nullptr) {
    current->setSelected(true);
  }
  emit SelChanged(GetItemPath(current));
}

QTreeWidgetItem* CFileTreeCtrl::Anchor() const { return m_anchor.isValid() ? itemFromIndex(m_anchor) : nullptr; }

void CFileTreeCtrl::SetAnchor(QTreeWidgetItem* node) {
  m_anchor = node != nullptr ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
}

void CFileTreeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QTreeWidget::mousePressEvent(event);
    return;
  }
  QTreeWidgetItem* hit = itemAt(event->position().toPoint());
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    if (hit != nullptr) {
      ControlClick(event, hit);
    } else {
      QTreeWidget::mousePressEvent(event);
    }
  } else if (event->modifiers().testFlag(Qt::ShiftModifier)) {
    ShiftClick(event, hit);
  } else {
    PlainClick(event, hit);
  }
}

void CFileTreeCtrl::ControlClick(QMouseEvent* event, QTreeWidgetItem* hit) {
  const bool newFlag = !hit->isSelected();
  QTreeWidgetItem* previous = currentItem();
  const bool previousFlag = previous != nullptr && previous->isSelected();
  // The click may collapse a branch holding the previous node, so keep it by index, not by pointer.
  const QPersistentModelIndex other(previous != nullptr && previous != hit ? indexFromItem(previous) : QModelIndex());
  if (previous == hit) {
    setCurrentItem(nullptr);  // so the click makes it current again instead of doing nothing
  }
  QTreeWidget::mousePressEvent(event);
  hit->setSelected(newFlag);
  if (other.isValid()) {
    itemFromIndex(other)->setSelected(previousFlag);
  }
  SetAnchor(nullptr);
}

void CFileTreeCtrl::ShiftClick(QMouseEvent* event, QTreeWidgetItem* hit) {
  if (Anchor() == nullptr) {
    SetAnchor(currentItem());
  }
  if (hit != nullptr && currentItem() == hit) {
    setCurrentItem(nullptr);
  }
  QTreeWidget::mousePressEvent(event);
  // On empty space there is no far end, so the selection stays as it was.
  if (QTreeWidgetItem* anchor = Anchor(); anchor != nullptr && hit != nullptr) {
    SelectItems(anchor, hit);
  }
}

void CFileTreeCtrl::PlainClick(QMouseEvent* event, QTreeWidgetItem* hit) {
  ClearSelection();
  SetAnchor(nullptr);
  QTreeWidget::mousePressEvent(event);
  // Clicking the node that is already current moves no caret, so nothing else would select it.
  if (hit != nullptr && currentItem() == hit) {
    hit->setSelected(true);
  }
}

void CFileTreeCtrl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Up || key == Qt::Key_Down) && event->modifiers().testFlag(Qt::ShiftModifier)) {
    ShiftArrow(key == Qt::Key_Down);
    event->accept();
    return;
  }
  if (IsKeyBelowSpace(key)) {
    QTreeWidget::keyPressEvent(event);
    return;
  }
  SetAnchor(nullptr);
  ClearSelection();
  QTreeWidget::keyPressEvent(event);
  if (QTreeWidgetItem* current = currentItem(); current != nullptr) {
    current->setSelected(true);
  }
}

void CFileTreeCtrl::ShiftArrow(bool down) {
  if (Anchor() == nullptr) {
    SetAnchor(currentItem());
    ClearSelection();
  }
  QTreeWidgetItem* old = currentItem();
  QTreeWidgetItem* next = old == nullptr ? nullptr : (down ? itemBelow(old) : itemAbove(old));
  if (next == nullptr) {
    return;
  }
  // Stepping back into the range shrinks it; stepping out of it extends it.
  const bool wasSelected = next->isSelected();
  setCurrentItem(next);
  if (!wasSelected) {
    old->setSelected(true);
  }
}

}  // namespace tw
