#include "controls/skin_colors.h"

#include <algorithm>

#include <QPalette>

namespace tw {

namespace {

int HalfWayChannel(int from, int to) { return from + ((to - from) >> 1); }

QColor Darker(QColor colour, int amount) {
  return QColor(std::max(colour.red() - amount, 0), std::max(colour.green() - amount, 0),
                std::max(colour.blue() - amount, 0));
}

}  // namespace

SkinColors SkinColors::FromPalette(const QPalette& palette) {
  // The roles that carry the 3-D system colours (button face, its highlight, 3-D light, shadow, dark shadow).
  const auto colour = [&palette](QPalette::ColorRole role) { return palette.color(QPalette::Active, role); };
  return From(colour(QPalette::Light), colour(QPalette::Midlight), colour(QPalette::Button), colour(QPalette::Dark),
              colour(QPalette::Shadow), colour(QPalette::WindowText));
}

SkinColors SkinColors::From(QColor highlight, QColor light, QColor face, QColor shadow, QColor darkShadow,
                            QColor windowFrame) {
  return SkinColors{highlight,  light, face, HalfWay(face, shadow), shadow, darkShadow, HalfWay(shadow, darkShadow),
                    windowFrame};
}

QColor SkinColors::HalfWay(QColor from, QColor to) {
  return QColor(HalfWayChannel(from.red(), to.red()), HalfWayChannel(from.green(), to.green()),
                HalfWayChannel(from.blue(), to.blue()));
}

SkinColors SkinColors::Darkened(int amount) const {
  SkinColors dark = *this;
  dark.face = Darker(face, amount);
  dark.shadow = Darker(shadow, amount);
  dark.highlight = Darker(highlight, amount);
  dark.mix = Darker(mix, amount);
  dark.light = Darker(light, amount);
  return dark;
}

}  // namespace tw
