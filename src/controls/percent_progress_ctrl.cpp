#include "controls/percent_progress_ctrl.h"

#include <QAccessible>

#include <algorithm>

#include "controls/control_accessibility.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>

namespace tw {

CPercentProgressCtrl::CPercentProgressCtrl(QWidget* parent) : QFrame(parent) {
  ControlAccessibility::Install();
  // Colours are taken once, as the control is built.
  const QPalette colours = palette();
  m_barColour = colours.color(QPalette::Active, QPalette::Highlight);
  m_backgroundColour = colours.color(QPalette::Active, QPalette::Base);
  m_textOnBackgroundColour = m_barColour;
  m_textOnBarColour = m_backgroundColour;
  // Every pixel of the client area is painted, so the background is never erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

int CPercentProgressCtrl::SetPos(int newPosition) {
  const auto change = m_model.SetPos(newPosition, contentsRect().width());
  if (change.repaint) {
    repaint();
  }
  if (change.previous != newPosition) {
    QAccessibleValueChangeEvent event(this, newPosition);  // a screen reader follows the transfer
    QAccessible::updateAccessibility(&event);
  }
  return change.previous;
}

void CPercentProgressCtrl::SetShowText(bool show) {
  if (m_model.SetShowText(show)) {
    update();
  }
}

void CPercentProgressCtrl::SetWindowText(const QString& text) { setWindowTitle(text); }

QString CPercentProgressCtrl::DisplayedText() const {
  return m_model.ShowText() ? QString::fromStdString(m_model.Text()) : QString();
}

QString CPercentProgressCtrl::GetWindowText() const { return QString::fromStdString(m_model.Caption()); }

void CPercentProgressCtrl::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::WindowTitleChange && m_model.SetCaption(windowTitle().toStdString())) {
    update();
  }
}

void CPercentProgressCtrl::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  m_model.ForgetBarWidth();
}

void CPercentProgressCtrl::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);  // the border, if any
  QPainter painter(this);
  const QRect client = contentsRect();
  const int right = client.left() + client.width();
  // Positions outside the range give an empty or a full bar.
  const int split = std::clamp(m_model.SplitX(client.left(), right), client.left(), right);
  const QRect filled(QPoint(client.left(), client.top()), QPoint(split - 1, client.bottom()));
  const QRect empty(QPoint(split, client.top()), client.bottomRight());
  painter.fillRect(filled, m_barColour);
  painter.fillRect(empty, m_backgroundColour);
  if (!m_model.ShowText()) {
    return;
  }
  const QString text = QString::fromStdString(m_model.Text());
  constexpr int kFlags = Qt::AlignCenter | Qt::TextSingleLine;
  painter.setClipRect(filled);
  painter.setPen(m_textOnBarColour);
  painter.drawText(client, kFlags, text);
  painter.setClipRect(empty);
  painter.setPen(m_textOnBackgroundColour);
  painter.drawText(client, kFlags, text);
}

}  // namespace tw
