#include "controls/flat_combo_box.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "controls/combo_completion.h"
#include "controls/skin_canvas.h"
#include "controls/skin_colors.h"

namespace tw {

namespace {

constexpr int kHoverPeriodMs = 10;

// The frame is drawn over the style's own: outer edge, inner ring, and the drop-down button's edges.
void DrawFlatFrame(QPainter& painter, const QRect& client, FlatFrameState state, bool enabled, int buttonWidth,
                   const SkinColors& c) {
  SkinCanvas canvas(painter, QPoint(0, 0));
  switch (state) {
    case FlatFrameState::Normal:
      canvas.Edge3d(client, c.face, c.face);
      break;
    case FlatFrameState::Hover:
    case FlatFrameState::Pressed:
      canvas.Edge3d(client, c.shadow, c.highlight);
      break;
  }
  const QRect ring = client.adjusted(1, 1, -1, -1);
  canvas.Frame(ring, enabled ? c.face : c.highlight);

  const QRect button(ring.x() + ring.width() - buttonWidth, ring.y(), buttonWidth, ring.height());
  canvas.Frame(button, c.face);
  canvas.Frame(button.adjusted(1, 1, -1, -1), c.face);
  if (!enabled) {
    return;
  }
  const QRect tall = button.adjusted(1, 0, -1, 0);  // the button's inside grown back at top and bottom
  switch (state) {
    case FlatFrameState::Normal:
      canvas.Frame(tall, c.highlight);
      canvas.Frame(tall.adjusted(-1, 0, 0, 0), c.highlight);
      break;
    case FlatFrameState::Hover:
      canvas.Edge3d(tall, c.highlight, c.shadow);
      break;
    case FlatFrameState::Pressed:
      canvas.Edge3d(tall.translated(1, 1), c.shadow, c.highlight);
      break;
  }
}

}  // namespace

CFlatComboBox::CFlatComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);  // the completion below replaces the default one
  setMouseTracking(true);
  lineEdit()->setMouseTracking(true);
  lineEdit()->installEventFilter(this);
  connect(lineEdit(), &QLineEdit::textEdited, this, &CFlatComboBox::OnEditUpdate);
  connect(&m_hoverTimer, &QTimer::timeout, this, &CFlatComboBox::OnHoverTick);
}

QStringList CFlatComboBox::Items() const {
  QStringList items;
  items.reserve(count());
  for (int i = 0; i < count(); ++i) {
    items.append(itemText(i));
  }
  return items;
}

bool CFlatComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::MouseMove) {
    m_hoverTimer.start(kHoverPeriodMs);
  }
  return QComboBox::eventFilter(watched, event);
}

// The line edit's focus proxy is the combo box, so typed keys arrive here first and are handed on to the
// edit directly, past any filter on it.
void CFlatComboBox::keyPressEvent(QKeyEvent* event) {
  // Delete and Backspace remove text: completing again would put it straight back.
  m_autoComplete = event->key() != Qt::Key_Delete && event->key() != Qt::Key_Backspace;
  QComboBox::keyPressEvent(event);
}

void CFlatComboBox::OnEditUpdate() {
  if (!m_autoComplete) {
    return;
  }
  QLineEdit* edit = lineEdit();
  ComboCompletion::Selection selection{edit->cursorPosition(), edit->cursorPosition()};
  if (edit->hasSelectedText()) {
    selection = {edit->selectionStart(), edit->selectionEnd()};
  }
  const auto result = ComboCompletion::Complete(Items(), edit->text(), selection);
  if (result.item >= 0) {
    setCurrentIndex(result.item);
    if (edit->text() != result.text) {
      edit->setText(result.text);
    }
  }
  edit->setSelection(result.selection.start, result.selection.end - result.selection.start);
}

void CFlatComboBox::mouseMoveEvent(QMouseEvent* event) {
  m_hoverTimer.start(kHoverPeriodMs);
  QComboBox::mouseMoveEvent(event);
}

void CFlatComboBox::mousePressEvent(QMouseEvent* event) {
  m_buttonDown = true;
  QComboBox::mousePressEvent(event);
}

void CFlatComboBox::mouseReleaseEvent(QMouseEvent* event) {
  EndPress();
  QComboBox::mouseReleaseEvent(event);
}

// The open list takes the mouse, so the release may never reach the combo box: closing the list ends
// the press as well.
void CFlatComboBox::hidePopup() {
  EndPress();
  QComboBox::hidePopup();
}

void CFlatComboBox::EndPress() {
  m_buttonDown = false;
  m_frame = FlatFrameState::Normal;
  update();
}

void CFlatComboBox::OnHoverTick() {
  const QRect window(mapToGlobal(QPoint(0, 0)), size());
  const auto step = FlatComboBoxHover::Shared().Tick(m_buttonDown, window.contains(QCursor::pos()));
  if (step.stopTimer) {
    m_hoverTimer.stop();
  }
  if (step.frame) {
    m_frame = *step.frame;
    update();
  }
}

void CFlatComboBox::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  QPainter painter(this);
  // The drop-down button's width is the style's own, so that the face rectangles cover its edges.
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const int buttonWidth = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).width();
  DrawFlatFrame(painter, rect(), m_frame, isEnabled(), buttonWidth, SkinColors::FromPalette(palette()));
}

}  // namespace tw
