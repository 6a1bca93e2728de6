#include "controls/skin_button.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/control_accessibility.h"
#include "controls/skin_canvas.h"

namespace tw {

namespace {

constexpr int kBoxSize = 12;
constexpr int kCheckBoxAreaWidth = 14;
constexpr int kRadioBoxLeft = 1;
constexpr int kTextLeft = 17;
constexpr int kTextMargin = 2;
constexpr int kTextFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
const QColor kTextColour(0, 0, 0);

}  // namespace

CSkinButton::CSkinButton(Kind kind, const QString& text, QWidget* parent)
    : QWidget(parent), m_buttonType(kind), m_text(text), m_colors(SkinColors::FromPalette(palette())) {
  // No click focus: a press sets the pressed flag before taking the focus, which the radio button's
  // focus rule depends on.
  setFocusPolicy(Qt::TabFocus);
  ControlAccessibility::Install();
}

int CSkinButton::SetCheck(int state) {
  const int previous = m_checkState;
  m_checkState = state;
  if (state != previous) {
    RepaintBox();
    CheckChanged();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
  }
  return previous;
}

QRect CSkinButton::BoxArea() const {
  const int top = ((height() - kBoxSize) >> 1) - 1;
  if (m_buttonType == Kind::CheckBox) {
    return QRect(0, top, kCheckBoxAreaWidth, kBoxSize);
  }
  return QRect(kRadioBoxLeft, top, kBoxSize, kBoxSize);
}

QRect CSkinButton::TextRect() const {
  const QSize extent = fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, m_text);
  return QRect(QPoint(kTextLeft, (height() - extent.height()) / 2 - 1), extent);
}

QSize CSkinButton::sizeHint() const {
  const QSize extent = fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, m_text);
  return QSize(kTextLeft + extent.width() + kTextMargin, std::max(kBoxSize, extent.height()) + kTextMargin);
}

void CSkinButton::RepaintBox() { update(BoxArea()); }

void CSkinButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  SkinCanvas canvas(painter, QPoint(0, 0));
  canvas.Fill(rect(), m_colors.face);

  const QRect text = TextRect();
  painter.setPen(isEnabled() ? kTextColour : m_colors.shadow);
  painter.drawText(text, kTextFlags, m_text);
  if (hasFocus()) {
    canvas.FocusFrame(text.adjusted(-1, -1, 1, 2).intersected(rect()), kTextColour);
  }
  DrawBox(canvas, BoxArea());
}

void CSkinButton::Press() {
  m_pressed = true;
  setFocus(Qt::MouseFocusReason);
  m_captured = true;
  RepaintBox();
}

void CSkinButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  Press();
}

// A double click counts as a second click.
void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
  if (!m_captured) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const bool inside = rect().contains(event->position().toPoint());
  if (inside != m_pressed) {
    m_pressed = inside;
    RepaintBox();
  }
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_captured) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  m_captured = false;
  if (rect().contains(event->position().toPoint())) {
    Activate();
  }
  m_pressed = false;
  RepaintBox();
}

void CSkinButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (!m_pressed) {
    m_pressed = true;
    RepaintBox();
  }
}

void CSkinButton::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  Activate();
  m_pressed = false;
  RepaintBox();
}

void CSkinButton::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    m_colors = SkinColors::FromPalette(palette());
    update();
  }
}

}  // namespace tw
