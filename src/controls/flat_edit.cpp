#include "controls/flat_edit.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include "controls/skin_canvas.h"

namespace tw {

namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7F;

}  // namespace

CFlatEdit::CFlatEdit(QWidget* parent)
    : QLineEdit(parent), m_face(palette().color(QPalette::Active, QPalette::Button)) {}

bool CFlatEdit::AcceptsChar(QChar ch) {
  const char16_t code = ch.unicode();
  if (code < kFirstPrintable || code == kDelete) {
    return true;  // Backspace and the Ctrl+C, Ctrl+V, Ctrl+X characters
  }
  return (code >= u'0' && code <= u'9') || (code >= u'a' && code <= u'f') || (code >= u'A' && code <= u'F') ||
         code == u'x' || code == u'X';
}

void CFlatEdit::keyPressEvent(QKeyEvent* event) {
  // Shortcuts such as Ctrl+V arrive as control characters on some platforms and as letters on others.
  const bool shortcut = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  const QString text = event->text();
  if (!shortcut && !std::all_of(text.begin(), text.end(), AcceptsChar)) {
    event->accept();  // dropped
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CFlatEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (!hasFrame()) {
    return;
  }
  QStyleOptionFrame option;
  initStyleOption(&option);
  const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  QPainter painter(this);
  SkinCanvas(painter, QPoint(0, 0)).Frame(rect().adjusted(border, border, -border, -border), m_face);
}

void CFlatEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    m_face = palette().color(QPalette::Active, QPalette::Button);
    update();
  }
}

}  // namespace tw
