#pragma once

#include <vector>

#include "controls/skin_button.h"

namespace tw {

// Owner-drawn radio button. Its group is every CSkinRadioButton with the same parent, in child order.
// It takes no focus from Tab by default; give at most the group's first button Qt::TabFocus, as a
// dialog group has one tab stop (focus arriving on an unchecked button moves on to the checked one).
class CSkinRadioButton : public CSkinButton {
  Q_OBJECT

 public:
  explicit CSkinRadioButton(const QString& text = QString(), QWidget* parent = nullptr);

 protected:
  void Activate() override;
  void DrawBox(SkinCanvas& canvas, const QRect& area) const override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  [[nodiscard]] std::vector<CSkinRadioButton*> Group() const;
  // The previous (step -1) or next (step 1) button of the group, or null at either end.
  [[nodiscard]] CSkinRadioButton* Neighbour(int step) const;
  void UncheckOthers();
  void DrawShading(SkinCanvas& canvas, const SkinColors& colours) const;
};

}  // namespace tw
