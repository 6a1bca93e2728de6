#include "controls/hex_viewer.h"

#include "controls/control_accessibility.h"
#include "controls/hex_clipboard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <array>
#include <cmath>

namespace tw {

namespace {

constexpr int kFontPixelSize = 12;
constexpr const char* kPreferredFace = "Courier New";
constexpr int kKeyboardMenuInset = 5;
constexpr int kWheelLinesPerNotch = 3;
constexpr int kWheelNotch = 120;
constexpr int kCharReturn = 13;
constexpr int kCharEscape = 27;
constexpr int kCharBackspace = 8;
constexpr int kLatin1Limit = 256;
const QColor kPaper{255, 255, 255};
const QColor kInk{0, 0, 0};

struct MenuItem {
  int id;  // 0 is the separator
  const char* text;
};

constexpr std::array<MenuItem, 7> kMenuItems{{
    {CHexViewer::kIdEditUndo, "&Undo"},
    {0, nullptr},
    {CHexViewer::kIdEditCut, "Cu&t"},
    {CHexViewer::kIdEditCopy, "&Copy"},
    {CHexViewer::kIdEditPaste, "&Paste"},
    {CHexViewer::kIdEditClear, "&Delete"},
    {CHexViewer::kIdEditSelectAll, "Select &All"},
}};

[[nodiscard]] HexKey MapKey(int key) {
  switch (key) {
    case Qt::Key_Left:
      return HexKey::Left;
    case Qt::Key_Right:
      return HexKey::Right;
    case Qt::Key_Up:
      return HexKey::Up;
    case Qt::Key_Down:
      return HexKey::Down;
    case Qt::Key_PageUp:
      return HexKey::PageUp;
    case Qt::Key_PageDown:
      return HexKey::PageDown;
    case Qt::Key_Home:
      return HexKey::Home;
    case Qt::Key_End:
      return HexKey::End;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return HexKey::Tab;
    case Qt::Key_Insert:
      return HexKey::Insert;
    case Qt::Key_Delete:
      return HexKey::Delete;
    default:
      return HexKey::Other;
  }
}

// The character code a key produces, as the edit control would see it; -1 when it produces none.
[[nodiscard]] int CharCode(const QKeyEvent& e) {
  const int key = e.key();
  if ((e.modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
    return key - Qt::Key_A + 1;
  }
  switch (key) {
    case Qt::Key_Backspace:
      return kCharBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kCharReturn;
    case Qt::Key_Escape:
      return kCharEscape;
    default:
      break;
  }
  const QString text = e.text();
  if (text.isEmpty() || text.at(0).unicode() >= kLatin1Limit) {
    return -1;
  }
  return text.at(0).unicode();
}

[[nodiscard]] HexScroll MapScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      return HexScroll::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return HexScroll::LineDown;
    case QAbstractSlider::SliderPageStepSub:
      return HexScroll::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return HexScroll::PageDown;
    case QAbstractSlider::SliderMove:
      return HexScroll::ThumbTrack;
    default:
      return HexScroll::Other;
  }
}

// Every cell must be exactly charWidth wide for the hit test to match the drawing, so a fractional
// advance is evened out with letter spacing.
[[nodiscard]] QFont WithWholePixelCells(QFont font) {
  const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  const qreal whole = std::max<qreal>(1.0, std::round(advance));
  if (std::abs(whole - advance) > 1e-3) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, whole - advance);
  }
  return font;
}

}  // namespace

CHexViewer::CHexViewer(QWidget* parent) : QAbstractScrollArea(parent), m_font(WithWholePixelCells(ViewerFont())) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);  // paint covers every pixel; no erase
  viewport()->setCursor(Qt::IBeamCursor);

  const QFontMetrics metrics(m_font);
  m_ascent = metrics.ascent();
  m_model.SetMetrics(metrics.horizontalAdvance(QLatin1Char('0')), metrics.height());
  m_model.SetDragDistance(QApplication::startDragDistance());

  ControlAccessibility::Install();
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &CHexViewer::OnVerticalAction);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CHexViewer::OnHorizontalValue);
  SyncView();
}

QFont CHexViewer::ViewerFont() {
  QFont font = QFontDatabase::families().contains(QString::fromLatin1(kPreferredFace))
                   ? QFont(QString::fromLatin1(kPreferredFace))
                   : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(kFontPixelSize);
  return font;
}

// ---- owner operations -------------------------------------------------------------------------

void CHexViewer::SetColumns(bool showAddress, bool showHex, bool showAscii, bool wideAddress) {
  m_model.SetColumns(showAddress, showHex, showAscii, wideAddress);
  SyncView();
}

void CHexViewer::SetAddressBase(std::uint32_t base) {
  m_model.SetAddressBase(base);
  viewport()->update();
}

void CHexViewer::AppendByte(std::uint8_t value, std::uint32_t index) {
  m_model.AppendByte(value, index);  // no redraw per byte; the owner's SetLength brings it
}

void CHexViewer::SetLength(std::uint32_t n) {
  m_model.SetLength(n);
  SyncView();
}

void CHexViewer::Clear() {
  m_model.Clear();
  SyncView();
}

const std::uint8_t* CHexViewer::GetData() const { return m_model.GetData(); }

std::uint32_t CHexViewer::GetLength() const { return m_model.GetLength(); }

// ---- view -------------------------------------------------------------------------------------

void CHexViewer::SyncView() {
  m_model.SetClientSize(viewport()->width(), viewport()->height());
  m_model.EnsureLayout();
  const HexScrollBars bars = m_model.ScrollBars();
  m_syncing = true;
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, bars.vMax);
  vertical->setPageStep(bars.vPage);
  vertical->setSingleStep(1);
  vertical->setValue(bars.vPos);
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, bars.hMax);
  horizontal->setPageStep(bars.hPage);
  horizontal->setSingleStep(bars.hStep);
  horizontal->setValue(bars.hPos);
  m_syncing = false;
  viewport()->update();
}

void CHexViewer::OnVerticalAction(int action) {
  if (m_syncing) {
    return;
  }
  m_model.VScroll(MapScrollAction(action), verticalScrollBar()->sliderPosition());
  SyncView();  // leaves the slider where the model put the view
}

void CHexViewer::OnHorizontalValue(int value) {
  if (m_syncing) {
    return;
  }
  m_model.SetHorizontalOffset(value);
  viewport()->update();
}

void CHexViewer::DrawCells(QPainter& painter, int x, int y, const std::string& text, int first, int last) const {
  const int cw = m_model.Layout().CharWidth();
  const int baseline = y + m_ascent;
  const auto draw = [&](int from, int to) {
    if (from < to) {
      painter.drawText(QPoint(x + from * cw, baseline),
                       QString::fromLatin1(text.data() + from, static_cast<qsizetype>(to - from)));
    }
  };
  const int size = static_cast<int>(text.size());
  last = std::min(last, size);
  if (first >= last) {
    draw(0, size);
    return;
  }
  draw(0, first);
  const QRect selected(x + first * cw, y, (last - first) * cw, m_model.Layout().LineHeight());
  painter.fillRect(selected, palette().color(QPalette::Highlight));
  painter.setPen(palette().color(QPalette::HighlightedText));
  draw(first, last);
  painter.setPen(kInk);
  draw(last, size);
}

void CHexViewer::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), kPaper);
  m_paintedRows = 0;
  if (!m_model.HasData()) {
    return;
  }
  m_model.EnsureLayout();
  painter.setFont(m_font);
  painter.setPen(kInk);
  const HexLayout& layout = m_model.Layout();
  const HexColumns& columns = layout.Columns();
  const auto highlight = m_model.HighlightColumn();
  const int left = -m_model.HorizontalOffset();
  int y = 0;
  for (const HexRow& row : m_model.VisibleRows()) {
    DrawCells(painter, left, y, row.address, 0, 0);
    if (columns.showHex) {
      const bool lit = highlight && IsHexArea(*highlight);
      DrawCells(painter, left + layout.HexColumnX(), y, row.hex, lit ? row.highlightFirst : 0,
                lit ? row.highlightLast : 0);
    }
    if (columns.showAscii) {
      const bool lit = highlight == HexArea::Ascii;
      DrawCells(painter, left + layout.AsciiColumnX(), y, row.ascii, lit ? row.highlightFirst : 0,
                lit ? row.highlightLast : 0);
    }
    y += layout.LineHeight();
    ++m_paintedRows;
  }
  if (hasFocus() && m_model.CaretVisible()) {
    const HexRect caret = m_model.CaretRect();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);  // a solid inverting block
    painter.fillRect(QRect(caret.x, caret.y, caret.width, caret.height), kPaper);
  }
}

void CHexViewer::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  SyncView();
}

// ---- input ------------------------------------------------------------------------------------

bool CHexViewer::event(QEvent* e) {
  // Tab steps address -> hex -> ASCII and then on to the dialog's next control; Shift+Tab steps back
  // ASCII -> hex and then to the previous control. The viewer is never a trap for the keyboard.
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
    if (forward || key->key() == Qt::Key_Backtab) {
      const bool inAscii = m_model.CaretArea() == HexArea::Ascii;
      if (m_model.GetLength() == 0 || inAscii == forward) {
        focusNextPrevChild(forward);
      } else {
        keyPressEvent(key);
      }
      return true;
    }
  }
  if (e->type() == QEvent::ShortcutOverride && !(static_cast<QKeyEvent*>(e)->modifiers() & Qt::AltModifier)) {
    // Every key but the dialog's Alt mnemonics comes to the viewer, Esc and Enter included.
    e->accept();
    return true;
  }
  return QAbstractScrollArea::event(e);
}

void CHexViewer::keyPressEvent(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  if ((e->modifiers() & Qt::AltModifier) && !ctrl) {
    e->ignore();  // Alt+letter is the dialog's mnemonic, never a character for the buffer
    return;
  }
  if (shift && e->key() == Qt::Key_F10) {
    ShowContextMenu(KeyboardMenuPoint());
    return;
  }
  const HexKey key = MapKey(e->key());
  if (key != HexKey::Other) {
    m_model.KeyDown(key, shift, ctrl);
  } else if (const int ch = CharCode(*e); ch >= 0) {
    RunCharAction(m_model.CharInput(ch, ctrl));
  }
  e->accept();
  SyncView();
}

void CHexViewer::RunCharAction(HexCharAction action) {
  switch (action) {
    case HexCharAction::Copy:
      CopyToClipboard();
      break;
    case HexCharAction::Cut:
      CutToClipboard();
      break;
    case HexCharAction::Paste:
      PasteFromClipboard();
      break;
    case HexCharAction::None:
      break;
  }
}

void CHexViewer::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint at = e->position().toPoint();
  m_model.MouseDown(at.x(), at.y(), e->modifiers() & Qt::ShiftModifier);
  SyncView();
}

void CHexViewer::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) {
    return;
  }
  const QPoint at = e->position().toPoint();
  m_model.MouseMove(at.x(), at.y());
  SyncView();
}

void CHexViewer::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    m_model.MouseUp();
  }
}

void CHexViewer::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();  // double clicks do nothing
}

void CHexViewer::wheelEvent(QWheelEvent* e) {
  const QPoint delta = e->angleDelta();
  if (delta.x() != 0 || (e->modifiers() & Qt::ShiftModifier)) {
    // Sideways, as the horizontal bar scrolls: a tilt, or the wheel with Shift.
    const int notches = delta.x() != 0 ? delta.x() : delta.y();
    const int cells = -notches * kWheelLinesPerNotch / kWheelNotch;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cells * m_model.Layout().CharWidth());
    e->accept();
    return;
  }
  // The wheel works like the scroll bar's arrows: the caret follows the view.
  const int lines = -delta.y() * kWheelLinesPerNotch / kWheelNotch;
  for (int i = 0; i < std::abs(lines); ++i) {
    m_model.VScroll(lines > 0 ? HexScroll::LineDown : HexScroll::LineUp);
  }
  e->accept();
  SyncView();
}

void CHexViewer::focusInEvent(QFocusEvent* e) {
  m_model.FocusIn();
  QAbstractScrollArea::focusInEvent(e);
  viewport()->update();
}

void CHexViewer::focusOutEvent(QFocusEvent* e) {
  m_model.FocusOut();
  QAbstractScrollArea::focusOutEvent(e);
  viewport()->update();
}

// ---- commands and clipboard -------------------------------------------------------------------

std::unique_ptr<QMenu> CHexViewer::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>();
  const bool selection = m_model.HasSelection();
  for (const MenuItem& item : kMenuItems) {
    if (item.id == 0) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    action->setData(item.id);
    bool enabled = true;
    switch (item.id) {
      case kIdEditUndo:
        enabled = false;
        break;
      case kIdEditCut:
      case kIdEditCopy:
      case kIdEditClear:
        enabled = selection;
        break;
      case kIdEditPaste:
        enabled = HexClipboard::ClipboardCanPaste();
        break;
      default:
        break;
    }
    action->setEnabled(enabled);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  }
  return menu;
}

void CHexViewer::contextMenuEvent(QContextMenuEvent* e) {
  ShowContextMenu(e->reason() == QContextMenuEvent::Keyboard ? KeyboardMenuPoint() : e->globalPos());
}

QPoint CHexViewer::KeyboardMenuPoint() const {
  return viewport()->mapToGlobal(QPoint(kKeyboardMenuInset, kKeyboardMenuInset));
}

void CHexViewer::ShowContextMenu(const QPoint& globalPos) {
  const auto menu = CreateContextMenu();
  menu->exec(globalPos);
}

void CHexViewer::OnCommand(int id) {
  switch (id) {
    case kIdEditClear:
      m_model.DeleteSelection();
      break;
    case kIdEditCopy:
      CopyToClipboard();
      break;
    case kIdEditCut:
      CutToClipboard();
      break;
    case kIdEditPaste:
      PasteFromClipboard();
      break;
    case kIdEditSelectAll:
      m_model.SelectAll();
      break;
    default:
      break;  // there is no undo
  }
  SyncView();
}

void CHexViewer::CopyToClipboard() {
  if (const auto clip = m_model.Copy()) {
    HexClipboard::Put(clip->bytes, clip->text);
  }
}

void CHexViewer::CutToClipboard() {
  if (const auto clip = m_model.Cut()) {
    HexClipboard::Put(clip->bytes, clip->text);
  }
}

void CHexViewer::PasteFromClipboard() {
  if (const auto bytes = HexClipboard::Take()) {
    m_model.Paste({reinterpret_cast<const std::uint8_t*>(bytes->constData()), static_cast<std::size_t>(bytes->size())});
  }
}

}  // namespace tw
