#pragma once

#include <QAccessibleWidget>

namespace tw {

class CHexViewer;

// The hex viewer: a named editable area whose value says where the caret is.
class HexViewerAccessible : public QAccessibleWidget {
 public:
  explicit HexViewerAccessible(CHexViewer* viewer);

  [[nodiscard]] QString text(QAccessible::Text t) const override;
};

}  // namespace tw
