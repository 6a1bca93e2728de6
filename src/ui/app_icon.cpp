#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tw {

namespace {

constexpr int kSmallIcon = 16;
const QColor kBoxColour(48, 56, 72);
const QColor kPanelColour(96, 108, 128);
const QColor kLedColour(80, 220, 96);
const QColor kArrowColour(236, 160, 32);

// Drawn in a 32 x 32 design grid and scaled to the pixmap.
QPixmap DrawIcon(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 32.0, side / 32.0);

  painter.setPen(Qt::NoPen);
  painter.setBrush(kBoxColour);
  painter.drawRoundedRect(QRectF(1, 18, 30, 11), 2, 2);
  painter.setBrush(kPanelColour);
  painter.drawRect(QRectF(4, 21, 14, 4));
  painter.setBrush(kLedColour);
  painter.drawEllipse(QRectF(24, 22, 3, 3));

  QPainterPath arrow;
  arrow.moveTo(12, 1);
  arrow.lineTo(20, 1);
  arrow.lineTo(20, 8);
  arrow.lineTo(25, 8);
  arrow.lineTo(16, 16);
  arrow.lineTo(7, 8);
  arrow.lineTo(12, 8);
  arrow.closeSubpath();
  painter.setBrush(kArrowColour);
  painter.drawPath(arrow);
  return pixmap;
}

}  // namespace

QIcon ApplicationIcon() {
  QIcon icon;
  icon.addPixmap(DrawIcon(kSmallIcon));
  icon.addPixmap(DrawIcon(kApplicationIconSize.width()));
  return icon;
}

}  // namespace tw
