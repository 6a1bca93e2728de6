#include "controls/hex_viewer_accessible.h"

#include "controls/hex_viewer.h"

namespace tw {

namespace {

const char* CaretAreaName(HexArea area) {
  switch (area) {
    case HexArea::Address:
      return "address";
    case HexArea::Ascii:
      return "ASCII";
    case HexArea::HexHigh:
      return "hex high digit";
    case HexArea::HexLow:
      return "hex low digit";
  }
  return "";
}

}  // namespace

HexViewerAccessible::HexViewerAccessible(CHexViewer* viewer) : QAccessibleWidget(viewer, QAccessible::EditableText) {}

// "offset 0x00000010 of 1024 bytes, hex high digit": what the next typed digit changes.
QString HexViewerAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Value) {
    return QAccessibleWidget::text(t);
  }
  const auto* viewer = static_cast<const CHexViewer*>(widget());
  if (!viewer->Model().HasData()) {
    return QStringLiteral("empty");
  }
  return QStringLiteral("offset 0x%1 of %2 bytes, %3")
      .arg(viewer->Model().CaretOffset(), 8, 16, QLatin1Char('0'))
      .arg(viewer->GetLength())
      .arg(QString::fromLatin1(CaretAreaName(viewer->Model().CaretArea())));
}

}  // namespace tw
