#pragma once

#include <QColor>
#include <QStringList>
#include <QTreeWidget>

#include <memory>

#include "ui/selected_file.h"

class QMenu;

namespace tw {

// The selected-files list: one "Selected Files" column, entries in the order they were added, each
// owning its SelectedFile record, which goes with the entry on every way out (delete, batch, close).
// Entry 0 is the next file the media batch sends.
class CFileListCtrl : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr int kDeleteCommand = 32772;
  static constexpr const char* kColumnHeading = "Selected Files";
  static constexpr const char* kDeleteText = "Delete";
  static constexpr int kColumnWidth = 128;
  static constexpr int kMp3Image = 0;
  static constexpr int kPhotoImage = 1;

  explicit CFileListCtrl(QWidget* parent = nullptr);

  // Inserts an entry at index (clamped to the list) showing the record's kind; returns its index.
  int InsertFile(int index, std::unique_ptr<SelectedFile> file, const QString& text);
  // "->": appends one entry per file path, in order: an MP3 when the name ends in "mp3" in any case,
  // a photo otherwise. Paths naming no file (folders, volumes, roots) are skipped; so are paths too long for the
  // record, which are returned so the caller can tell the user.
  QStringList AddFromTree(const QStringList& selectedPaths);

  [[nodiscard]] int GetItemCount() const;
  [[nodiscard]] QString GetItemText(int index) const;
  // The entry's record, or null for an index outside the list.
  [[nodiscard]] const SelectedFile* GetItemData(int index) const;
  // kMp3Image or kPhotoImage, -1 outside the list.
  [[nodiscard]] int GetItemImage(int index) const;

  // Removes the entry and releases its record; false for an index outside the list.
  bool DeleteItem(int index);
  // Command 32772: removes every selected entry, from the highest index down.
  void DeleteSelectedItems();
  void DeleteAllItems();

  // The popup of a right click: one "Delete" action carrying command 32772 and bound to
  // DeleteSelectedItems.
  [[nodiscard]] std::unique_ptr<QMenu> CreateContextMenu();

  [[nodiscard]] static QColor RowColour();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  [[nodiscard]] int FirstSelectedIndex() const;
  void ForwardKey(QKeyEvent* event, Qt::Key key);
};

}  // namespace tw
