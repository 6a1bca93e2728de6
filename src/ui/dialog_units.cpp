#include "ui/dialog_units.h"

#include <QFontMetrics>

namespace tw {

namespace {

const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetHalf = 26;

// a * b / c rounded to the nearest integer, as MulDiv does.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) : m_base(FontBaseUnits(font)) {}

int DialogUnits::X(int units) const { return MulDiv(units, m_base.width(), kUnitsPerBaseX); }

int DialogUnits::Y(int units) const { return MulDiv(units, m_base.height(), kUnitsPerBaseY); }

QRect DialogUnits::ToPixels(const DluRect& rect) const {
  return QRect(X(rect.x), Y(rect.y), X(rect.width), Y(rect.height));
}

QSize DialogUnits::SizeToPixels(const DluRect& rect) const { return QSize(X(rect.width), Y(rect.height)); }

QSize DialogUnits::FontBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
  return QSize((alphabet / kAlphabetHalf + 1) / 2, metrics.height());
}

QFont DialogUnits::TemplateFont(const char* family, int pointSize) {
  QFont font(QString::fromLatin1(family), pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace tw
