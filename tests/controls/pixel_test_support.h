#pragma once

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QWidget>

// The classic grey 3-D scheme with a navy highlight on a white window, so pixels can be checked exactly.
inline QPalette ClassicPalette() {
  QPalette palette;
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Button, QColor(192, 192, 192));
    palette.setColor(group, QPalette::Window, QColor(192, 192, 192));
    palette.setColor(group, QPalette::Light, QColor(255, 255, 255));
    palette.setColor(group, QPalette::Midlight, QColor(192, 192, 192));
    palette.setColor(group, QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(group, QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(group, QPalette::WindowText, QColor(0, 0, 0));
    palette.setColor(group, QPalette::Highlight, QColor(0, 0, 128));
    palette.setColor(group, QPalette::Base, QColor(255, 255, 255));
  }
  return palette;
}

inline void UseClassicPalette() { QApplication::setPalette(ClassicPalette()); }

// The widget as it paints itself; magenta wherever it paints nothing.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  widget.render(&image);
  return image;
}
