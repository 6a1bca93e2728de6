#include "controls/skin_canvas.h"

#include <algorithm>
#include <cstdlib>

#include <QPainter>

namespace tw {

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Visits the pixels from `from` up to, not including, `to`.
template <typename Visit>
void ForEachLinePixel(QPoint from, QPoint to, Visit visit) {
  const QPoint delta = to - from;
  const QPoint step(Sign(delta.x()), Sign(delta.y()));
  const int count = std::max(std::abs(delta.x()), std::abs(delta.y()));
  for (int i = 0; i < count; ++i) {
    visit(from + step * i);
  }
}

}  // namespace

SkinCanvas::SkinCanvas(QPainter& painter, QPoint origin) : m_painter(painter), m_origin(origin) {}

SkinCanvas SkinCanvas::Shifted(QPoint offset) const { return SkinCanvas(m_painter, m_origin + offset); }

void SkinCanvas::Pixel(QPoint at, QColor colour) { m_painter.fillRect(QRect(m_origin + at, QSize(1, 1)), colour); }

void SkinCanvas::Line(QPoint from, QPoint to, QColor colour) {
  ForEachLinePixel(from, to, [&](QPoint at) { Pixel(at, colour); });
}

void SkinCanvas::Stroke(std::span<const QPoint> points, QColor colour) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    Line(points[i - 1], points[i], colour);
  }
}

void SkinCanvas::Fill(const QRect& rect, QColor colour) { m_painter.fillRect(rect.translated(m_origin), colour); }

void SkinCanvas::Frame(const QRect& rect, QColor colour) { Edge3d(rect, colour, colour); }

void SkinCanvas::Edge3d(const QRect& rect, QColor topLeft, QColor bottomRight) {
  if (rect.width() <= 0 || rect.height() <= 0) {
    return;
  }
  const int x = rect.x();
  const int y = rect.y();
  const int w = rect.width();
  const int h = rect.height();
  Fill(QRect(x, y, w - 1, 1), topLeft);
  Fill(QRect(x, y, 1, h - 1), topLeft);
  Fill(QRect(x + w - 1, y, 1, h), bottomRight);
  Fill(QRect(x, y + h - 1, w, 1), bottomRight);
}

void SkinCanvas::RoundRect(const QRect& rect, int ellipse, QColor outline, QColor fill) {
  m_painter.save();
  m_painter.setRenderHint(QPainter::Antialiasing, false);
  m_painter.setPen(outline);
  m_painter.setBrush(fill);
  // An aliased outline covers one pixel right of and below the path, hence the smaller path.
  const qreal radius = ellipse / 2.0;
  m_painter.drawRoundedRect(rect.translated(m_origin).adjusted(0, 0, -1, -1), radius, radius);
  m_painter.restore();
}

void SkinCanvas::FocusFrame(const QRect& rect, QColor colour) {
  const QPoint corners[] = {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft(), rect.topLeft()};
  // One running parity around the outline keeps the dots evenly spaced at the corners.
  int parity = 0;
  for (std::size_t side = 1; side < std::size(corners); ++side) {
    ForEachLinePixel(corners[side - 1], corners[side], [&](QPoint at) {
      if (parity++ % 2 == 0) {
        Pixel(at, colour);
      }
    });
  }
}

}  // namespace tw
