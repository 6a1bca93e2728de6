#include "controls/skin_radio_button.h"

#include <algorithm>
#include <array>
#include <span>

#include <QKeyEvent>

#include "controls/skin_canvas.h"

namespace tw {

namespace {

constexpr int kBoxSize = 12;
constexpr int kPressedDarkening = 40;
constexpr int kRingEllipse = 10;
constexpr int kDotInset = 3;
constexpr int kDotEllipse = 2;

enum class Shade { Face, Light, Highlight, Mix, Shadow };

// Strokes and pixels in box coordinates that give the raised look; up to four points per stroke.
struct ShadeStroke {
  Shade shade;
  std::size_t count;
  std::array<QPoint, 4> points;
};

struct ShadePixel {
  Shade shade;
  QPoint at;
};

// The outer diagonals in deepMix, the same raised or sunken.
constexpr std::array<std::array<QPoint, 2>, 4> kRimStrokes{{
    {QPoint(0, 4), QPoint(5, -1)},
    {QPoint(7, 0), QPoint(12, 5)},
    {QPoint(11, 7), QPoint(6, 12)},
    {QPoint(4, 11), QPoint(-1, 6)},
}};

constexpr std::array<ShadeStroke, 9> kShadeStrokes{{
    {Shade::Light, 4, {QPoint(1, 6), QPoint(1, 4), QPoint(4, 1), QPoint(7, 1)}},
    {Shade::Light, 2, {QPoint(2, 8), QPoint(9, 1)}},
    {Shade::Light, 2, {QPoint(3, 8), QPoint(9, 2)}},
    {Shade::Light, 2, {QPoint(4, 8), QPoint(9, 3)}},
    {Shade::Highlight, 3, {QPoint(2, 7), QPoint(2, 4), QPoint(6, 4)}},
    {Shade::Highlight, 3, {QPoint(4, 5), QPoint(4, 2), QPoint(8, 2)}},
    {Shade::Mix, 2, {QPoint(6, 9), QPoint(10, 5)}},
    {Shade::Mix, 2, {QPoint(7, 9), QPoint(10, 6)}},
    {Shade::Shadow, 4, {QPoint(4, 10), QPoint(7, 10), QPoint(10, 7), QPoint(10, 3)}},
}};

constexpr std::array<ShadePixel, 6> kShadePixels{{
    {Shade::Highlight, QPoint(3, 5)},
    {Shade::Highlight, QPoint(5, 3)},
    {Shade::Face, QPoint(2, 2)},
    {Shade::Light, QPoint(3, 3)},
    {Shade::Light, QPoint(3, 6)},
    {Shade::Light, QPoint(6, 3)},
}};

constexpr std::array<QPoint, 8> kRingCorners{QPoint(0, 3),  QPoint(3, 0),  QPoint(8, 0),  QPoint(11, 3),
                                             QPoint(11, 8), QPoint(8, 11), QPoint(3, 11), QPoint(0, 8)};

QColor ShadeColour(Shade shade, const SkinColors& c) {
  switch (shade) {
    case Shade::Face:
      return c.face;
    case Shade::Light:
      return c.light;
    case Shade::Highlight:
      return c.highlight;
    case Shade::Mix:
      return c.mix;
    case Shade::Shadow:
      return c.shadow;
  }
  return c.face;
}

// Reflection through the box centre turns the raised look into the sunken one.
QPoint Mirrored(QPoint point) { return QPoint(kBoxSize - 1 - point.x(), kBoxSize - 1 - point.y()); }

void DrawShadeStroke(SkinCanvas& box, const ShadeStroke& stroke, QColor colour, bool sunken) {
  std::array<QPoint, 4> points = stroke.points;
  if (sunken) {
    std::transform(points.begin(), points.end(), points.begin(), Mirrored);
  }
  box.Stroke(std::span(points.data(), stroke.count), colour);
}

}  // namespace

CSkinRadioButton::CSkinRadioButton(const QString& text, QWidget* parent)
    : CSkinButton(Kind::RadioButton, text, parent) {
  UpdateTabStops();
}

void CSkinRadioButton::CheckChanged() { UpdateTabStops(); }

void CSkinRadioButton::UpdateTabStops() const {
  const auto group = Group();
  const auto checked =
      std::find_if(group.begin(), group.end(), [](const CSkinRadioButton* b) { return b->GetCheck(); });
  const CSkinRadioButton* stop = checked != group.end() ? *checked : group.front();
  for (CSkinRadioButton* button : group) {
    // No click focus: a press sets the pressed flag before taking the focus itself.
    button->setFocusPolicy(button == stop ? Qt::TabFocus : Qt::NoFocus);
  }
}

std::vector<CSkinRadioButton*> CSkinRadioButton::Group() const {
  if (parentWidget() == nullptr) {
    return {const_cast<CSkinRadioButton*>(this)};
  }
  const auto siblings = parentWidget()->findChildren<CSkinRadioButton*>(Qt::FindDirectChildrenOnly);
  return {siblings.begin(), siblings.end()};
}

CSkinRadioButton* CSkinRadioButton::Neighbour(int step) const {
  const auto group = Group();
  const auto self = std::find(group.begin(), group.end(), this);
  const auto index = (self - group.begin()) + step;
  if (index < 0 || index >= static_cast<std::ptrdiff_t>(group.size())) {
    return nullptr;
  }
  return group[static_cast<std::size_t>(index)];
}

void CSkinRadioButton::UncheckOthers() {
  for (CSkinRadioButton* other : Group()) {
    if (other != this) {
      other->SetCheck(0);
    }
  }
}

void CSkinRadioButton::Activate() {
  SetCheck(1);
  // The others are unchecked before the parent hears of the click, so it sees the group settled.
  UncheckOthers();
  emit clicked();
}

void CSkinRadioButton::focusInEvent(QFocusEvent* event) {
  CSkinButton::focusInEvent(event);
  if (GetCheck() != 0 || IsPressed()) {
    return;
  }
  for (CSkinRadioButton* other : Group()) {
    if (other != this && other->GetCheck() != 0) {
      other->setFocus(event->reason());
      return;
    }
  }
}

// Arrow keys move the check along the group with the focus. At either end of the group the check stays
// where it is rather than leaving the group with none checked.
void CSkinRadioButton::keyPressEvent(QKeyEvent* event) {
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      step = -1;
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      step = 1;
      break;
    default:
      CSkinButton::keyPressEvent(event);
      return;
  }
  UncheckOthers();
  CSkinRadioButton* next = Neighbour(step);
  if (next == nullptr) {
    return;
  }
  next->SetCheck(1);
  emit next->clicked();
  SetCheck(0);
  next->setFocus(Qt::OtherFocusReason);
}

void CSkinRadioButton::DrawBox(SkinCanvas& canvas, const QRect& area) const {
  const bool enabled = isEnabled();
  const SkinColors colours = IsPressed() ? Colors().Darkened(kPressedDarkening) : Colors();
  SkinCanvas box = canvas.Shifted(area.topLeft());
  const QRect square(0, 0, kBoxSize, kBoxSize);

  box.RoundRect(square, kRingEllipse, enabled ? colours.windowFrame : colours.shadow, colours.face);
  if (enabled) {
    DrawShading(box, colours);
  }
  for (const QPoint corner : kRingCorners) {
    box.Pixel(corner, enabled ? colours.shadow : colours.mix);
  }
  if (GetCheck() != 0) {
    const QColor dot = enabled ? colours.darkShadow : colours.shadow;
    box.RoundRect(square.adjusted(kDotInset, kDotInset, -kDotInset, -kDotInset), kDotEllipse, dot, dot);
  }
}

void CSkinRadioButton::DrawShading(SkinCanvas& box, const SkinColors& colours) const {
  for (const auto& stroke : kRimStrokes) {
    box.Stroke(stroke, colours.deepMix);
  }
  const bool sunken = GetCheck() != 0 || IsPressed();
  for (const ShadeStroke& stroke : kShadeStrokes) {
    DrawShadeStroke(box, stroke, ShadeColour(stroke.shade, colours), sunken);
  }
  for (const ShadePixel& pixel : kShadePixels) {
    box.Pixel(sunken ? Mirrored(pixel.at) : pixel.at, ShadeColour(pixel.shade, colours));
  }
}

}  // namespace tw
