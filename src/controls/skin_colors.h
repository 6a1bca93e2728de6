#pragma once

#include <QColor>

class QPalette;

namespace tw {

// The 3-D colour set shared by the skinned buttons and the flat controls. mix lies halfway from face to
// shadow, deepMix halfway from shadow to darkShadow.
struct SkinColors {
  QColor highlight;
  QColor light;
  QColor face;
  QColor mix;
  QColor shadow;
  QColor darkShadow;
  QColor deepMix;
  QColor windowFrame;

  [[nodiscard]] static SkinColors FromPalette(const QPalette& palette);
  // Builds the set from the system colours, deriving mix and deepMix.
  [[nodiscard]] static SkinColors From(QColor highlight, QColor light, QColor face, QColor shadow, QColor darkShadow,
                                       QColor windowFrame);
  // Per channel from + (to - from) / 2, halved by an arithmetic shift (rounds toward minus infinity).
  [[nodiscard]] static QColor HalfWay(QColor from, QColor to);
  // The pressed radio button's look: face, shadow, highlight, mix and light darkened, stopping at 0.
  [[nodiscard]] SkinColors Darkened(int amount) const;
};

}  // namespace tw
