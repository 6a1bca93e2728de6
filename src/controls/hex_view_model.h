#pragma once

#include "controls/hex_buffer.h"
#include "controls/hex_layout.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tw {

enum class HexKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, Tab, Insert, Delete, Other };
enum class HexScroll { LineUp, LineDown, PageUp, PageDown, ThumbTrack, Other };
// Clipboard work a control character asks for; the widget owns the clipboard.
enum class HexCharAction { None, Copy, Cut, Paste };

// What Copy hands to the clipboard: the raw bytes and their text form.
struct HexClip {
  std::vector<std::uint8_t> bytes;
  std::string text;
};

struct HexRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// One painted row; the highlight is a half-open character range in the highlighted column's text.
struct HexRow {
  std::uint32_t offset = 0;
  std::string address;
  std::string hex;
  std::string ascii;
  int highlightFirst = 0;
  int highlightLast = 0;
};

// Scroll bar settings in the toolkit's terms: maximum is the last top position, not the row count.
struct HexScrollBars {
  int vMax = 0;
  int vPage = 1;
  int vPos = 0;
  int hMax = 0;
  int hPage = 1;
  int hStep = 1;
  int hPos = 0;
};

// The viewer's logic without a window: buffer, layout, caret, selection, scrolling and editing.
// Pixel positions taken by the input operations are client coordinates of the painted area.
class HexViewModel {
 public:
  static constexpr std::uint32_t kBytesPerLine = HexLayout::kBytesPerLine;

  // Operations for the owner.
  void SetColumns(bool showAddress, bool showHex, bool showAscii, bool wideAddress);
  void SetAddressBase(std::uint32_t base) { m_addressBase = base; }
  void AppendByte(std::uint8_t value, std::uint32_t index) { m_buffer.AppendByte(value, index); }
  void SetLength(std::uint32_t n);
  void Clear();
  [[nodiscard]] const std::uint8_t* GetData() const { return m_buffer.Data(); }
  [[nodiscard]] std::uint32_t GetLength() const { return m_buffer.Length(); }

  // Geometry supplied by the widget.
  void SetMetrics(int charWidth, int lineHeight);
  void SetClientSize(int width, int height);
  void SetDragDistance(int distance) { m_dragDistance = distance; }
  void SetHorizontalOffset(int x);
  void EnsureLayout();

  // State.
  [[nodiscard]] const HexLayout& Layout() const { return m_layout; }
  [[nodiscard]] bool HasData() const { return m_buffer.HasData(); }
  [[nodiscard]] std::uint32_t TopOffset() const { return m_topOffset; }
  [[nodiscard]] std::int64_t CaretOffset() const { return m_caretOffset; }
  [[nodiscard]] HexArea CaretArea() const { return m_caretArea; }
  [[nodiscard]] std::int64_t SelectionAnchor() const { return m_selectionAnchor; }
  [[nodiscard]] std::int64_t SelectionEnd() const { return m_selectionEnd; }
  [[nodiscard]] bool HasSelection() const { return m_selectionAnchor >= 0; }
  [[nodiscard]] std::uint32_t AddressBase() const { return m_addressBase; }
  [[nodiscard]] int HorizontalOffset() const { return m_horizontalOffset; }
  [[nodiscard]] bool CaretVisible() const;
  [[nodiscard]] HexRect CaretRect() const;
  [[nodiscard]] HexScrollBars ScrollBars() const;
  // The column that shows the selection: the one holding the caret (none for the address area).
  [[nodiscard]] std::optional<HexArea> HighlightColumn() const;
  // Only the rows that fit wholly in the client area, from topOffset to the end of the data.
  [[nodiscard]] std::vector<HexRow> VisibleRows() const;

  // Input.
  void FocusIn();
  void FocusOut();
  void KeyDown(HexKey key, bool shift, bool ctrl);
  [[nodiscard]] HexCharAction CharInput(int ch, bool ctrl);
  void MouseDown(int x, int y, bool shift);
  void MouseMove(int x, int y);
  void MouseUp();
  void VScroll(HexScroll request, int trackPos = 0);

  // Editing commands.
  [[nodiscard]] std::optional<HexClip> Copy() const;
  [[nodiscard]] std::optional<HexClip> Cut();
  void Paste(std::span<const std::uint8_t> bytes);
  void DeleteSelection();
  void SelectAll();
  void InsertZeros(std::uint32_t pos, std::uint32_t n);
  void DeleteRange(std::uint32_t start, std::uint32_t end);

 private:
  [[nodiscard]] std::uint32_t SelectionLower() const;
  [[nodiscard]] std::uint32_t SelectionUpper() const;
  [[nodiscard]] std::uint32_t PageBytes() const;
  [[nodiscard]] std::int64_t EndForCaret() const;
  [[nodiscard]] bool WideCaretAtRest() const;
  void MoveCaret(int dx, int dy);
  void PlaceCaret();
  void KeepCaretOnByte();
  void KeepCaretInRows();
  void RevealCaret();
  void RevealCaretSideways();
  void ClearSelection();
  void ScrollToLine(std::int64_t line);
  // Moves the caret to the point; returns the selection end the point stands for, nothing on a miss.
  [[nodiscard]] std::optional<std::int64_t> ApplyHit(int x, int y);
  void Navigate(HexKey key, bool shift, bool ctrl);
  void MoveForKey(HexKey key, bool shift, bool ctrl);
  void TypeCharacter(int ch);

  HexBuffer m_buffer;
  HexLayout m_layout;
  std::uint32_t m_topOffset = 0;
  std::int64_t m_caretOffset = 0;
  HexArea m_caretArea = HexArea::Address;
  std::int64_t m_selectionAnchor = -1;
  std::int64_t m_selectionEnd = -1;
  bool m_keyboardScrolling = false;
  bool m_layoutDirty = true;
  int m_caretX = 0;
  int m_caretY = 0;
  bool m_caretWide = true;
  bool m_caretShown = false;
  bool m_hasFocus = false;
  std::uint32_t m_addressBase = 0;
  int m_horizontalOffset = 0;
  int m_dragDistance = 4;
  bool m_buttonDown = false;
  bool m_dragPending = false;
  int m_pressX = 0;
  int m_pressY = 0;
};

}  // namespace tw
