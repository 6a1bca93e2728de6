#include "controls/skin_check_box.h"

#include <array>

#include "controls/skin_canvas.h"

namespace tw {

namespace {

// The box is the button area less 2 pixels on the right.
constexpr int kAreaToBoxRight = 2;

// The tick, as offsets from the inner square's top-left corner.
constexpr std::array<QPoint, 3> kTickShadow{QPoint(4, 8), QPoint(9, 3), QPoint(9, 5)};
constexpr std::array<QPoint, 2> kTickMixShort{QPoint(2, 6), QPoint(4, 8)};
constexpr std::array<QPoint, 2> kTickMixLong{QPoint(5, 8), QPoint(9, 4)};
constexpr std::array<QPoint, 3> kTickDarkOuter{QPoint(1, 4), QPoint(4, 7), QPoint(12, -1)};
constexpr std::array<QPoint, 3> kTickDarkInner{QPoint(2, 4), QPoint(4, 6), QPoint(11, -1)};
constexpr QPoint kTickTailShadow(11, 1);
constexpr std::array<QPoint, 2> kTickTailMix{QPoint(12, 1), QPoint(11, 2)};

}  // namespace

CSkinCheckBox::CSkinCheckBox(const QString& text, QWidget* parent) : CSkinButton(Kind::CheckBox, text, parent) {}

void CSkinCheckBox::Activate() {
  SetCheck(GetCheck() == 0 ? 1 : 0);
  emit clicked();
}

void CSkinCheckBox::DrawBox(SkinCanvas& canvas, const QRect& area) const {
  const SkinColors& c = Colors();
  const bool enabled = isEnabled();
  const QRect box = area.adjusted(0, 0, -kAreaToBoxRight, 0);
  canvas.Frame(box, enabled ? c.windowFrame : c.shadow);

  const QRect inner = box.adjusted(1, 1, -1, -1);
  if (IsPressed()) {
    canvas.Fill(inner, c.mix);
    canvas.Edge3d(inner, c.shadow, c.light);
  } else {
    canvas.Fill(inner, c.face);
    if (enabled) {
      canvas.Edge3d(inner, c.highlight, c.shadow);
    }
  }
  canvas.Pixel(inner.topRight(), c.face);
  canvas.Pixel(inner.bottomLeft(), c.face);

  if (GetCheck() != 0) {
    DrawTick(canvas, inner.topLeft());
  }
}

void CSkinCheckBox::DrawTick(SkinCanvas& canvas, QPoint inner) const {
  const SkinColors& c = Colors();
  const bool enabled = isEnabled();
  SkinCanvas tick = canvas.Shifted(inner);
  tick.Stroke(kTickShadow, enabled ? c.shadow : c.mix);
  tick.Stroke(kTickMixShort, c.mix);
  tick.Stroke(kTickMixLong, c.mix);
  tick.Pixel(kTickTailShadow, enabled ? c.shadow : c.mix);
  for (const QPoint tail : kTickTailMix) {
    tick.Pixel(tail, c.mix);
  }
  const QColor dark = enabled ? c.darkShadow : c.shadow;
  tick.Stroke(kTickDarkOuter, dark);
  tick.Stroke(kTickDarkInner, dark);
}

}  // namespace tw
