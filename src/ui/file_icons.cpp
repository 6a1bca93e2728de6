#include "ui/file_icons.h"

#include <QPainter>

namespace tw {

namespace {

// Colours of the classic 16-colour palette, so the icons sit well next to the shell's.
const QColor kNavy(0, 0, 128);
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kTeal(0, 128, 128);

QPixmap BlankIcon() {
  QPixmap pixmap(kFileIconWidth, kFileIconHeight);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QPixmap NoteIcon() {
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kNavy);
  // Two heads joined by a beam: a pair of eighth notes.
  painter.drawEllipse(QRect(1, 9, 5, 4));
  painter.drawEllipse(QRect(8, 8, 5, 4));
  painter.drawRect(QRect(5, 2, 1, 9));
  painter.drawRect(QRect(12, 1, 1, 9));
  painter.drawPolygon(QPolygon({QPoint(5, 2), QPoint(12, 0), QPoint(12, 3), QPoint(5, 5)}));
  return pixmap;
}

QPixmap CameraIcon() {
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(kBlack);
  painter.setBrush(kGrey);
  painter.drawRect(QRect(4, 2, 5, 2));   // viewfinder hump
  painter.drawRect(QRect(0, 4, 14, 9));  // body
  painter.setBrush(kSilver);
  painter.drawEllipse(QRect(4, 5, 6, 6));  // lens ring
  painter.setPen(Qt::NoPen);
  painter.setBrush(kTeal);
  painter.drawEllipse(QRect(6, 7, 3, 3));  // glass
  painter.setBrush(kSilver);
  painter.drawRect(QRect(11, 5, 2, 1));  // flash
  return pixmap;
}

}  // namespace tw
