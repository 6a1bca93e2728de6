#include "controls/hex_view_model.h"

#include <algorithm>
#include <cstdlib>

namespace tw {

namespace {

constexpr int kCharTab = 9;
constexpr int kCharBackspace = 8;
constexpr int kCtrlC = 3;
constexpr int kCtrlV = 22;
constexpr int kCtrlX = 24;
constexpr int kCtrlZ = 26;
constexpr std::int64_t kBpl = HexLayout::kBytesPerLine;

[[nodiscard]] std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

[[nodiscard]] std::optional<int> HexDigitValue(int ch) {
  if (ch >= '0' && ch <= '9') {
    return ch - '0';
  }
  if (ch >= 'a' && ch <= 'f') {
    return ch - 'a' + 10;
  }
  if (ch >= 'A' && ch <= 'F') {
    return ch - 'A' + 10;
  }
  return std::nullopt;
}

}  // namespace

// ---- owner operations -------------------------------------------------------------------------

void HexViewModel::SetColumns(bool showAddress, bool showHex, bool showAscii, bool wideAddress) {
  m_layout.SetColumns(HexColumns{showAddress, showHex, showAscii, wideAddress});
  m_layoutDirty = true;
}

void HexViewModel::SetLength(std::uint32_t n) {
  m_buffer.SetLength(n);
  m_layoutDirty = true;
}

void HexViewModel::Clear() {
  m_buffer.Clear();
  m_selectionAnchor = m_selectionEnd = -1;
  m_layoutDirty = true;
}

// ---- geometry ---------------------------------------------------------------------------------

void HexViewModel::SetMetrics(int charWidth, int lineHeight) {
  m_layout.SetMetrics(charWidth, lineHeight);
  m_layoutDirty = true;
}

void HexViewModel::SetClientSize(int width, int height) {
  m_layout.SetClientSize(width, height);
  m_layoutDirty = true;  // unlike the edit control it replaces, a resize changes the row count
}

void HexViewModel::SetHorizontalOffset(int x) {
  const int maxOffset = std::max(0, m_layout.ContentWidth() - m_layout.ClientWidth());
  m_horizontalOffset = std::clamp(x, 0, maxOffset);
}

void HexViewModel::EnsureLayout() {
  if (!HasData() || !m_layoutDirty) {
    return;
  }
  m_layout.Recalc(GetLength());
  m_layoutDirty = false;
  SetHorizontalOffset(m_horizontalOffset);
  // A buffer that shrank under the view (reload, delete) would otherwise show nothing at all.
  if (m_topOffset > 0 && m_topOffset >= GetLength()) {
    m_topOffset = 0;
  }
  if (GetLength() > 0 && m_caretOffset >= GetLength()) {
    PlaceCaret();
  }
}

// ---- state ------------------------------------------------------------------------------------

std::uint32_t HexViewModel::SelectionLower() const {
  return static_cast<std::uint32_t>(std::min(m_selectionAnchor, m_selectionEnd));
}

std::uint32_t HexViewModel::SelectionUpper() const {
  return static_cast<std::uint32_t>(std::max(m_selectionAnchor, m_selectionEnd));
}

std::uint32_t HexViewModel::PageBytes() const {
  return static_cast<std::uint32_t>(std::max(m_layout.VisibleLines(), 0)) * kBytesPerLine;
}

std::int64_t HexViewModel::EndForCaret() const { return m_caretOffset + (IsHexArea(m_caretArea) ? 1 : 0); }

bool HexViewModel::WideCaretAtRest() const { return m_caretX == 0 && m_layout.Columns().showAddress; }

bool HexViewModel::CaretVisible() const {
  const HexRect r = CaretRect();
  return m_hasFocus && m_caretShown && HasData() && r.x >= 0 && r.x < m_layout.ClientWidth() && r.y >= 0 &&
         r.y < m_layout.ClientHeight();
}

HexRect HexViewModel::CaretRect() const {
  const int cells = m_caretWide ? std::max(m_layout.AddressDigits(), 1) : 1;
  return HexRect{m_caretX - m_horizontalOffset, m_caretY, cells * m_layout.CharWidth(), m_layout.LineHeight()};
}

HexScrollBars HexViewModel::ScrollBars() const {
  HexScrollBars bars;
  if (!HasData()) {
    return bars;
  }
  const auto rows = static_cast<std::int64_t>((std::uint64_t{GetLength()} + kBytesPerLine - 1) / kBytesPerLine);
  bars.vPage = std::max(m_layout.VisibleLines(), 1);
  bars.vMax = static_cast<int>(std::max<std::int64_t>(0, rows - m_layout.VisibleLines()));
  bars.vPos = static_cast<int>(m_topOffset / kBytesPerLine);
  bars.hMax = std::max(0, m_layout.ContentWidth() - m_layout.ClientWidth());
  bars.hPage = std::max(m_layout.ClientWidth(), 1);
  bars.hStep = m_layout.CharWidth();
  bars.hPos = m_horizontalOffset;
  return bars;
}

std::optional<HexArea> HexViewModel::HighlightColumn() const {
  if (!HasSelection() || m_caretArea == HexArea::Address) {
    return std::nullopt;
  }
  return IsHexArea(m_caretArea) ? HexArea::HexHigh : HexArea::Ascii;
}

std::vector<HexRow> HexViewModel::VisibleRows() const {
  std::vector<HexRow> rows;
  if (!HasData()) {
    return rows;
  }
  const auto highlight = HighlightColumn();
  const int cellsPerByte = highlight == HexArea::Ascii ? 1 : HexLayout::kHexCellsPerByte;
  const HexColumns& columns = m_layout.Columns();
  const std::uint64_t length = GetLength();
  std::uint64_t offset = m_topOffset;
  for (int row = 0; row < m_layout.WholeRows() && offset < length; ++row, offset += kBytesPerLine) {
    const auto start = static_cast<std::uint32_t>(offset);
    const auto bytes = m_buffer.Range(start, static_cast<std::uint32_t>(std::min(offset + kBytesPerLine, length)));
    HexRow& r = rows.emplace_back();
    r.offset = start;
    if (columns.showAddress) {
      r.address = HexLayout::AddressText(start + m_addressBase, columns.wideAddress);
    }
    if (columns.showHex) {
      r.hex = HexLayout::HexText(bytes);
    }
    if (columns.showAscii) {
      r.ascii = HexLayout::AsciiText(bytes);
    }
    if (highlight) {
      const std::uint64_t lo = std::max<std::uint64_t>(SelectionLower(), offset);
      const std::uint64_t hi = std::min<std::uint64_t>(SelectionUpper(), offset + bytes.size());
      if (lo < hi) {
        r.highlightFirst = static_cast<int>(lo - offset) * cellsPerByte;
        r.highlightLast = static_cast<int>(hi - offset) * cellsPerByte;
      }
    }
  }
  return rows;
}

// ---- caret and selection ----------------------------------------------------------------------

void HexViewModel::KeepCaretOnByte() {
  const std::int64_t length = GetLength();
  m_caretOffset = std::clamp<std::int64_t>(m_caretOffset, 0, std::max<std::int64_t>(length - 1, 0));
}

void HexViewModel::PlaceCaret() {
  KeepCaretOnByte();
  const std::int64_t rel = m_caretOffset - m_topOffset;
  const std::int64_t row = FloorDiv(rel, kBpl);
  const auto col = static_cast<int>(rel - row * kBpl);
  const int cw = m_layout.CharWidth();
  switch (m_caretArea) {
    case HexArea::Address:
      m_caretX = 0;
      break;
    case HexArea::Ascii:
      m_caretX = m_layout.AsciiColumnX() + col * cw;
      break;
    case HexArea::HexHigh:
      m_caretX = m_layout.HexColumnX() + HexLayout::kHexCellsPerByte * col * cw;
      break;
    case HexArea::HexLow:
      m_caretX = m_layout.HexColumnX() + (HexLayout::kHexCellsPerByte * col + 1) * cw;
      break;
  }
  m_caretY = static_cast<int>(std::clamp<std::int64_t>(row * m_layout.LineHeight(), -(1 << 30), 1 << 30));
  m_caretWide = m_caretArea == HexArea::Address;
  m_caretShown = true;  // CaretVisible hides it while it lies outside the client area
}

void HexViewModel::ClearSelection() {
  m_selectionAnchor = m_selectionEnd = -1;
  m_caretWide = WideCaretAtRest();
  m_caretShown = true;
}

void HexViewModel::MoveCaret(int dx, int dy) {
  switch (m_caretArea) {
    case HexArea::Address:
      return;  // arrows do not move a caret in the address area
    case HexArea::Ascii:
      m_caretOffset += dx + dy * kBpl;
      break;
    case HexArea::HexHigh:
      if (dx != 0) {
        m_caretArea = HexArea::HexLow;
        m_caretOffset -= dx < 0 ? 1 : 0;
      }
      m_caretOffset += dy * kBpl;
      break;
    case HexArea::HexLow:
      if (dx != 0) {
        m_caretArea = HexArea::HexHigh;
        m_caretOffset += dx > 0 ? 1 : 0;
      }
      m_caretOffset += dy * kBpl;
      break;
  }
  m_caretOffset = std::max<std::int64_t>(m_caretOffset, 0);
  if (m_caretOffset >= GetLength()) {
    // Undo the step; the nibble keeps its new side, so the last byte's low nibble returns to its high one.
    m_caretOffset = std::max<std::int64_t>(m_caretOffset - (dy * kBpl + dx), 0);
  }
  m_keyboardScrolling = true;
  if (m_caretOffset < m_topOffset) {
    VScroll(HexScroll::LineUp);
  } else if (m_caretOffset >= std::int64_t{m_topOffset} + PageBytes()) {
    VScroll(HexScroll::LineDown);
  }
  m_keyboardScrolling = false;
  PlaceCaret();
  RevealCaretSideways();
}

// ---- scrolling --------------------------------------------------------------------------------

void HexViewModel::VScroll(HexScroll request, int trackPos) {
  if (!HasData()) {
    return;
  }
  EnsureLayout();
  const std::uint32_t length = GetLength();
  const std::uint32_t page = PageBytes();
  const std::uint32_t limit = length > page ? length - page : 0;
  const std::uint32_t old = m_topOffset;
  switch (request) {
    case HexScroll::LineUp:
      // A top left off a row boundary by paging to the end still reaches 0.
      m_topOffset = m_topOffset > kBytesPerLine ? m_topOffset - kBytesPerLine : 0;
      break;
    case HexScroll::LineDown:
      if (m_topOffset < limit) {
        m_topOffset += kBytesPerLine;
      }
      break;
    case HexScroll::PageUp:
      if (m_topOffset > 0) {
        m_topOffset = m_topOffset > page ? m_topOffset - page : 0;
        if (m_keyboardScrolling && m_caretOffset > page) {
          m_caretOffset -= page;
        }
      }
      break;
    case HexScroll::PageDown:
      if (m_topOffset < limit) {
        m_topOffset += page;
        if (m_keyboardScrolling && m_caretOffset + page < length) {
          m_caretOffset += page;
        }
        m_topOffset = std::min(m_topOffset, limit);
      }
      break;
    case HexScroll::ThumbTrack:
      m_topOffset = kBytesPerLine * static_cast<std::uint32_t>(std::max(trackPos, 0));
      break;
    case HexScroll::Other:
      break;
  }
  if (!m_keyboardScrolling && m_topOffset != old) {
    // The bar, the wheel and a drag carry the caret along once (the page rule above is the keys'), and
    // never off the rows on screen, where the next typed digit would land unseen.
    m_caretOffset = std::max<std::int64_t>(m_caretOffset + (std::int64_t{m_topOffset} - old), 0);
    KeepCaretInRows();
  }
  PlaceCaret();
}

void HexViewModel::KeepCaretInRows() {
  const std::int64_t top = m_topOffset;
  const std::int64_t page = PageBytes();
  if (page == 0) {
    return;
  }
  if (m_caretOffset < top) {
    m_caretOffset += kBpl * ((top - m_caretOffset + kBpl - 1) / kBpl);
  } else if (m_caretOffset >= top + page) {
    m_caretOffset -= kBpl * ((m_caretOffset - (top + page)) / kBpl + 1);
  }
  KeepCaretOnByte();
}

// Brings the caret's row and cell into view, as an edit is about to land there.
void HexViewModel::RevealCaret() {
  KeepCaretOnByte();
  const std::int64_t page = PageBytes();
  if (page > 0 && (m_caretOffset < m_topOffset || m_caretOffset >= m_topOffset + page)) {
    const std::int64_t limit = std::max<std::int64_t>(std::int64_t{GetLength()} - page, 0);
    m_topOffset = static_cast<std::uint32_t>(std::min(kBpl * (m_caretOffset / kBpl), limit));
  }
  PlaceCaret();
  RevealCaretSideways();
}

void HexViewModel::RevealCaretSideways() {
  const int width = CaretRect().width;
  if (m_caretX < m_horizontalOffset) {
    SetHorizontalOffset(m_caretX);
  } else if (m_caretX + width > m_horizontalOffset + m_layout.ClientWidth()) {
    SetHorizontalOffset(m_caretX + width - m_layout.ClientWidth());
  }
}

void HexViewModel::ScrollToLine(std::int64_t line) {
  m_topOffset = static_cast<std::uint32_t>(kBpl * std::max<std::int64_t>(line, 0));
}

// ---- keys -------------------------------------------------------------------------------------

void HexViewModel::KeyDown(HexKey key, bool shift, bool ctrl) {
  if (GetLength() == 0 && key != HexKey::Insert) {
    return;  // nothing to navigate, select or delete
  }
  EnsureLayout();
  const bool saved = m_keyboardScrolling;
  m_keyboardScrolling = true;  // scrolling caused by a key never moves the caret by itself
  switch (key) {
    case HexKey::Tab:
      m_caretArea = IsHexArea(m_caretArea) ? HexArea::Ascii : HexArea::HexHigh;
      MoveCaret(0, 0);
      break;
    case HexKey::Insert: {
      const std::uint32_t n = HasSelection() ? std::max<std::uint32_t>(SelectionUpper() - SelectionLower(), 1) : 1;
      InsertZeros(static_cast<std::uint32_t>(m_caretOffset), n);
      PlaceCaret();
      break;
    }
    case HexKey::Delete:
      if (HasSelection()) {
        DeleteSelection();
      } else if (m_caretOffset < GetLength()) {
        const auto at = static_cast<std::uint32_t>(m_caretOffset);
        DeleteRange(at, at + 1);
      }
      PlaceCaret();
      break;
    case HexKey::Other:
      break;
    default:
      Navigate(key, shift, ctrl);
      break;
  }
  m_keyboardScrolling = saved;
}

void HexViewModel::Navigate(HexKey key, bool shift, bool ctrl) {
  if (shift) {
    if (!HasSelection()) {
      m_selectionAnchor = m_caretOffset;
    }
  } else {
    ClearSelection();
  }
  MoveForKey(key, shift, ctrl);
  if (shift) {
    // In the hex area Right and Down take the byte under the caret into the selection.
    const bool inclusive = key == HexKey::Right || key == HexKey::Down;
    m_selectionEnd = inclusive ? EndForCaret() : m_caretOffset;
    m_selectionEnd = std::min<std::int64_t>(m_selectionEnd, GetLength());
  }
}

void HexViewModel::MoveForKey(HexKey key, bool shift, bool ctrl) {
  const std::int64_t length = GetLength();
  switch (key) {
    case HexKey::Left:
      MoveCaret(-1, 0);
      break;
    case HexKey::Right:
      MoveCaret(1, 0);
      break;
    case HexKey::Up:
      MoveCaret(0, -1);
      break;
    case HexKey::Down:
      MoveCaret(0, 1);
      break;
    case HexKey::PageUp:
      VScroll(HexScroll::PageUp);
      MoveCaret(0, 0);
      break;
    case HexKey::PageDown:
      VScroll(HexScroll::PageDown);
      MoveCaret(0, 0);
      break;
    case HexKey::Home:
      if (ctrl) {
        ScrollToLine(0);
        m_caretOffset = 0;
      } else {
        m_caretOffset = kBpl * (m_caretOffset / kBpl);
      }
      MoveCaret(0, 0);
      break;
    case HexKey::End:
      if (ctrl) {
        m_caretOffset = length - 1;
        const std::int64_t rows = (length + kBpl / 2) / kBpl;
        const bool wholeData = !shift && m_layout.PartialLastLine();
        ScrollToLine(wholeData ? 0 : rows - m_layout.VisibleLines());
      } else {
        m_caretOffset = std::min(kBpl * (m_caretOffset / kBpl + 1) - 1, length - 1);
      }
      MoveCaret(0, 0);
      break;
    default:
      break;
  }
}

// ---- characters -------------------------------------------------------------------------------

HexCharAction HexViewModel::CharInput(int ch, bool ctrl) {
  if (!HasData() || ch == kCharTab) {
    return HexCharAction::None;
  }
  EnsureLayout();
  if (ctrl) {
    switch (ch) {
      case kCtrlC:
        return HasSelection() ? HexCharAction::Copy : HexCharAction::None;
      case kCtrlV:
        return HexCharAction::Paste;
      case kCtrlX:
        return HasSelection() ? HexCharAction::Cut : HexCharAction::None;
      case kCtrlZ:
        return HexCharAction::None;
      default:
        break;
    }
  }
  if (ch == kCharBackspace) {
    if (m_caretOffset > 0) {
      --m_caretOffset;
      const auto at = static_cast<std::uint32_t>(std::min<std::int64_t>(m_caretOffset, GetLength()));
      DeleteRange(at, at + 1);
      PlaceCaret();
    }
    return HexCharAction::None;
  }
  ClearSelection();
  TypeCharacter(ch);
  return HexCharAction::None;
}

void HexViewModel::TypeCharacter(int ch) {
  if (GetLength() == 0) {
    return;  // typing overwrites; there is no byte to overwrite
  }
  RevealCaret();
  const auto at = static_cast<std::uint32_t>(m_caretOffset);
  const std::uint8_t byte = m_buffer.At(at);
  switch (m_caretArea) {
    case HexArea::Address:
      return;
    case HexArea::Ascii:
      m_buffer.Set(at, static_cast<std::uint8_t>(ch & 0xFF));
      break;
    case HexArea::HexHigh:
    case HexArea::HexLow: {
      const auto value = HexDigitValue(ch);
      if (!value) {
        return;
      }
      const bool high = m_caretArea == HexArea::HexHigh;
      const int merged = high ? (byte & 0x0F) | (*value << 4) : (byte & 0xF0) | *value;
      m_buffer.Set(at, static_cast<std::uint8_t>(merged));
      break;
    }
  }
  MoveCaret(1, 0);
}

// ---- mouse ------------------------------------------------------------------------------------

std::optional<std::int64_t> HexViewModel::ApplyHit(int x, int y) {
  const auto hit = m_layout.HitTest(x + m_horizontalOffset, y, m_topOffset, GetLength());
  if (!hit) {
    return std::nullopt;
  }
  m_caretOffset = hit->offset;
  m_caretArea = hit->area;
  // Taken before the caret is pulled back: a cell past the last byte ends a selection after that byte.
  const std::int64_t end = std::min<std::int64_t>(EndForCaret(), GetLength());
  if (m_caretOffset >= GetLength()) {
    PlaceCaret();  // a cell past the last byte of a partial row: back onto the last byte
    return end;
  }
  m_caretX = hit->cell * m_layout.CharWidth();
  m_caretY = hit->row * m_layout.LineHeight();
  m_caretWide = WideCaretAtRest();
  return end;
}

void HexViewModel::MouseDown(int x, int y, bool shift) {
  m_buttonDown = true;
  if (!HasData()) {
    return;
  }
  EnsureLayout();
  const std::int64_t before = m_caretOffset;
  const auto end = ApplyHit(x, y);
  if (shift) {
    if (end) {
      m_selectionAnchor = before;
      m_selectionEnd = *end;
    }
  } else {
    // The drag decision comes with the next moves; a click that never drags drops the selection.
    m_selectionAnchor = m_selectionEnd = -1;
    m_dragPending = true;
    m_pressX = x;
    m_pressY = y;
  }
  if (!HasSelection()) {
    m_caretShown = true;
  }
}

void HexViewModel::MouseMove(int x, int y) {
  if (!m_buttonDown || !HasData()) {
    return;
  }
  if (m_dragPending) {
    if (std::abs(x - m_pressX) + std::abs(y - m_pressY) < m_dragDistance) {
      return;
    }
    m_dragPending = false;
    m_selectionAnchor = m_selectionEnd = m_caretOffset;
  }
  if (!HasSelection()) {
    return;
  }
  EnsureLayout();
  // Below the last whole row counts as below the view: a partial row at the bottom is never hit.
  const int rowsBottom = std::min(m_layout.VisibleLines(), m_layout.WholeRows()) * m_layout.LineHeight();
  if (y < 0) {
    VScroll(HexScroll::LineUp);
    y = 0;
  } else if (y >= rowsBottom) {
    VScroll(HexScroll::LineDown);
    y = rowsBottom - 1;
  }
  m_caretShown = false;
  // Past the last column the pointer still drags along the row's end.
  x = std::min(x, m_layout.ContentWidth() - m_horizontalOffset - 1);
  if (const auto end = ApplyHit(x, y)) {
    m_selectionEnd = *end;
    // In the ASCII column the end is the character boundary nearest the pointer, so the last byte can be
    // taken in as well.
    const int cw = m_layout.CharWidth();
    if (m_caretArea == HexArea::Ascii && (x + m_horizontalOffset) % cw >= cw / 2) {
      m_selectionEnd = std::min<std::int64_t>(*end + 1, GetLength());
    }
  }
}

void HexViewModel::MouseUp() {
  m_buttonDown = false;
  m_dragPending = false;
}

void HexViewModel::FocusIn() {
  m_hasFocus = true;
  if (HasData() && !HasSelection()) {
    m_caretWide = WideCaretAtRest();
    m_caretShown = true;
  }
}

void HexViewModel::FocusOut() {
  m_hasFocus = false;
  m_caretShown = false;
}

// ---- editing ----------------------------------------------------------------------------------

void HexViewModel::DeleteRange(std::uint32_t start, std::uint32_t end) {
  m_buffer.Erase(start, end);
  ClearSelection();
  if (m_topOffset > 0 && m_topOffset >= GetLength()) {
    m_topOffset = 0;
  }
  if (m_caretOffset >= GetLength()) {
    PlaceCaret();
  }
  m_layoutDirty = true;
}

void HexViewModel::InsertZeros(std::uint32_t pos, std::uint32_t n) {
  if (!m_buffer.InsertZeros(pos, n)) {
    return;
  }
  ClearSelection();
  m_layoutDirty = true;
}

void HexViewModel::DeleteSelection() {
  if (!HasSelection()) {
    return;
  }
  const std::uint32_t lower = SelectionLower();
  m_caretOffset = lower;
  DeleteRange(lower, SelectionUpper());
  PlaceCaret();
}

std::optional<HexClip> HexViewModel::Copy() const {
  if (!HasSelection()) {
    return std::nullopt;
  }
  const auto bytes = m_buffer.Range(SelectionLower(), SelectionUpper());
  HexClip clip;
  clip.bytes.assign(bytes.begin(), bytes.end());
  clip.text = m_caretArea == HexArea::Ascii ? HexLayout::AsciiText(bytes) : HexLayout::HexPairs(bytes);
  return clip;
}

std::optional<HexClip> HexViewModel::Cut() {
  auto clip = Copy();
  if (clip) {
    DeleteRange(SelectionLower(), SelectionUpper());
  }
  return clip;
}

void HexViewModel::Paste(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > UINT32_MAX) {
    return;
  }
  const std::int64_t remembered = m_caretOffset;
  std::uint32_t point = 0;
  if (HasSelection()) {
    point = SelectionLower();
    DeleteRange(point, SelectionUpper());
  } else {
    const std::int64_t at = m_caretOffset + (m_caretArea == HexArea::HexLow ? 1 : 0);
    point = static_cast<std::uint32_t>(std::min<std::int64_t>(at, GetLength()));
  }
  const auto n = static_cast<std::uint32_t>(bytes.size());
  if (!m_buffer.InsertZeros(point, n)) {
    return;
  }
  ClearSelection();
  m_layoutDirty = true;
  m_buffer.Overwrite(point, bytes);
  m_caretOffset = remembered;
  EnsureLayout();
  PlaceCaret();
}

void HexViewModel::SelectAll() {
  if (!HasData()) {
    return;
  }
  m_selectionAnchor = 0;
  m_selectionEnd = GetLength();
  m_caretShown = false;
}

}  // namespace tw
