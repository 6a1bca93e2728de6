#pragma once

#include <span>

#include <QColor>
#include <QPoint>
#include <QRect>

class QPainter;

namespace tw {

// Pixel-exact drawing for the owner-drawn controls, with the platform's line rule: a line from p to q
// leaves out q. Lines must be horizontal, vertical or diagonal. Points are offsets from the origin.
class SkinCanvas {
 public:
  SkinCanvas(QPainter& painter, QPoint origin);

  // A canvas on the same painter whose origin is moved by offset.
  [[nodiscard]] SkinCanvas Shifted(QPoint offset) const;

  void Pixel(QPoint at, QColor colour);
  // A polyline through the points; only the last point is left out.
  void Stroke(std::span<const QPoint> points, QColor colour);
  void Fill(const QRect& rect, QColor colour);
  // A one-pixel outline along the rectangle's edge.
  void Frame(const QRect& rect, QColor colour);
  // A one-pixel 3-D edge: top and left in one colour, bottom and right in the other.
  void Edge3d(const QRect& rect, QColor topLeft, QColor bottomRight);
  // A rounded rectangle over rect, its corners cut by ellipses of the given diameter.
  void RoundRect(const QRect& rect, int ellipse, QColor outline, QColor fill);
  // A dotted outline, every other pixel set.
  void FocusFrame(const QRect& rect, QColor colour);

 private:
  void Line(QPoint from, QPoint to, QColor colour);

  QPainter& m_painter;
  QPoint m_origin;
};

}  // namespace tw
