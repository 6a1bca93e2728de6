#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "ui/dialog_layout.h"

namespace tw {

// Dialog units of a dialog font: 4 horizontal units per average character width, 8 vertical units per
// character height, converted as the platform's dialog manager does (rounded to the nearest pixel).
class DialogUnits {
 public:
  static constexpr int kUnitsPerBaseX = 4;
  static constexpr int kUnitsPerBaseY = 8;

  explicit DialogUnits(const QFont& font);
  explicit DialogUnits(QSize baseUnits) : m_base(baseUnits) {}

  [[nodiscard]] QSize BaseUnits() const { return m_base; }
  [[nodiscard]] int X(int units) const;
  [[nodiscard]] int Y(int units) const;
  [[nodiscard]] QRect ToPixels(const DluRect& rect) const;
  [[nodiscard]] QSize SizeToPixels(const DluRect& rect) const;

  // The base units of a font: the average width of the 52 Latin letters (rounded), and the font height.
  [[nodiscard]] static QSize FontBaseUnits(const QFont& font);
  // The font the templates were designed with, or the nearest sans-serif font when it is missing.
  [[nodiscard]] static QFont TemplateFont(const char* family, int pointSize);

 private:
  QSize m_base;
};

}  // namespace tw
