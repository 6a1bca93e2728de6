#pragma once

#include <QFileIconProvider>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTreeWidget>

#include "ui/tree_volumes.h"

namespace tw {

// The file selection tree: the desktop, "My Computer" with its volumes and the last folder as roots,
// folders read lazily on every expansion and dropped on collapse, only subfolders and MP3/photo files
// listed, and several nodes selectable with Ctrl and Shift.
//
// Selection follows the caret: the current node is always selected and the node it leaves is deselected,
// while Ctrl and Shift set or keep the selected flag of other nodes.
class CFileTreeCtrl : public QTreeWidget {
  Q_OBJECT

 public:
  enum class NodeKind { Placeholder, Desktop, MyComputer, LastFolder, Drive, Folder, File };

  static constexpr const char* kMyComputerText = "My Computer";

  explicit CFileTreeCtrl(QWidget* parent = nullptr);

  // Builds the three roots, reading the last folder from the settings and the desktop through
  // CRegistryKey. With clear set, every node goes first.
  void Initialize(bool clear);

  // The node's file-system path: a folder keeps its trailing separator while it has children (or its
  // placeholder); "My Computer" and placeholders have none.
  [[nodiscard]] QString GetItemPath(const QTreeWidgetItem* node) const;
  [[nodiscard]] virtual bool IsWantedFile(const QString& fileName) const;

  [[nodiscard]] QTreeWidgetItem* GetFirstSelectedItem() const;
  [[nodiscard]] QTreeWidgetItem* GetNextSelectedItem(const QTreeWidgetItem* node) const;
  // Paths of the selected file nodes in visible order; folders, volumes and roots are left out.
  [[nodiscard]] QStringList GetSelectedFilePaths() const;
  void ClearSelection();
  // Selects from..to in visible order, deselects every other visible node and makes `to` current.
  bool SelectItems(QTreeWidgetItem* from, QTreeWidgetItem* to);

  [[nodiscard]] static NodeKind KindOf(const QTreeWidgetItem* node);

  // Replaces the source of "My Computer"'s children (the mounted volumes), for tests.
  void SetVolumeLister(VolumeLister lister);

 signals:
  // The current node changed; carries its path, "" for none.
  void SelChanged(const QString& currentPath);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTreeWidgetItem* AddItem(const QString& text, QTreeWidgetItem* parent, bool withPlaceholder, const QIcon& icon,
                           NodeKind kind, const QString& basePath = {});
  QTreeWidgetItem* AddShellItem(const QString& path, QTreeWidgetItem* parent, bool withPlaceholder, const QIcon& icon,
                                NodeKind kind);
  void PopulateItem(QTreeWidgetItem* node);
  void PopulateVolumes(QTreeWidgetItem* node);
  void PopulateFolder(QTreeWidgetItem* node);
  void DeleteChildItems(QTreeWidgetItem* node, bool addPlaceholder);
  [[nodiscard]] QString ReadDesktopPath() const;

  void OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void ControlClick(QMouseEvent* event, QTreeWidgetItem* hit);
  void ShiftClick(QMouseEvent* event, QTreeWidgetItem* hit);
  void PlainClick(QMouseEvent* event, QTreeWidgetItem* hit);
  void ShiftArrow(bool down);
  [[nodiscard]] QTreeWidgetItem* Anchor() const;
  void SetAnchor(QTreeWidgetItem* node);

  QPersistentModelIndex m_anchor;  // becomes invalid by itself when a collapse removes the node
  QFileIconProvider m_icons;
  VolumeLister m_listVolumes;
};

}  // namespace tw
