#pragma once

#include "controls/hex_view_model.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <cstdint>
#include <memory>

class QMenu;

namespace tw {

// The engineering panel's byte viewer and editor (dialog control 1009). It paints and forwards input;
// HexViewModel holds the logic. Qt's backing store is the off-screen bitmap, so full redraws never flicker.
class CHexViewer : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The framework's standard edit commands, used as the context menu's command ids.
  static constexpr int kIdEditClear = 57632;
  static constexpr int kIdEditCopy = 57634;
  static constexpr int kIdEditCut = 57635;
  static constexpr int kIdEditPaste = 57637;
  static constexpr int kIdEditSelectAll = 57642;
  static constexpr int kIdEditUndo = 57643;

  explicit CHexViewer(QWidget* parent = nullptr);

  void SetColumns(bool showAddress, bool showHex, bool showAscii, bool wideAddress);
  void SetAddressBase(std::uint32_t base);
  void AppendByte(std::uint8_t value, std::uint32_t index);
  void SetLength(std::uint32_t n);
  void Clear();
  [[nodiscard]] const std::uint8_t* GetData() const;
  [[nodiscard]] std::uint32_t GetLength() const;

  // Runs one of the edit commands above, as the context menu does.
  void OnCommand(int id);
  // The context menu with its items enabled for the current selection and clipboard.
  [[nodiscard]] std::unique_ptr<QMenu> CreateContextMenu();

  [[nodiscard]] const HexViewModel& Model() const { return m_model; }
  // Rows drawn by the last paint; painting never touches more than the visible rows.
  [[nodiscard]] int PaintedRows() const { return m_paintedRows; }
  // "Courier New" at 12 pixels when installed, else the system's fixed-pitch font at 12 pixels.
  [[nodiscard]] static QFont ViewerFont();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void SyncView();
  void OnVerticalAction(int action);
  void OnHorizontalValue(int value);
  void RunCharAction(HexCharAction action);
  [[nodiscard]] QPoint KeyboardMenuPoint() const;
  void ShowContextMenu(const QPoint& globalPos);
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void DrawCells(QPainter& painter, int x, int y, const std::string& text, int first, int last) const;

  HexViewModel m_model;
  QFont m_font;
  int m_ascent = 0;
  int m_paintedRows = 0;
  bool m_syncing = false;
};

}  // namespace tw
