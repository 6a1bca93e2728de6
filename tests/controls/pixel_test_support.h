#pragma once

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QWidget>

inline const QColor kFace(192, 192, 192);
inline const QColor kShadow(128, 128, 128);
inline const QColor kBlack(0, 0, 0);
inline const QColor kWhite(255, 255, 255);
inline const QColor kNavy(0, 0, 128);

// The classic grey 3-D scheme with a navy highlight on a white window, so pixels can be checked exactly.
inline void UseClassicPalette() {
  QPalette palette;
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Button, kFace);
    palette.setColor(group, QPalette::Window, kFace);
    palette.setColor(group, QPalette::Light, kWhite);
    palette.setColor(group, QPalette::Midlight, kFace);
    palette.setColor(group, QPalette::Dark, kShadow);
    palette.setColor(group, QPalette::Shadow, kBlack);
    palette.setColor(group, QPalette::WindowText, kBlack);
    palette.setColor(group, QPalette::Highlight, kNavy);
    palette.setColor(group, QPalette::Base, kWhite);
  }
  QApplication::setPalette(palette);
}

// The widget as it paints itself; magenta wherever it paints nothing.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  widget.render(&image);
  return image;
}
