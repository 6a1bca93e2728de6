#pragma once

#include <vector>

#include "controls/skin_button.h"

namespace tw {

// Owner-drawn radio button. Its group is every CSkinRadioButton with the same parent, in child order.
// The group is one tab stop, its checked button (the first while none is); the arrow keys move inside.
class CSkinRadioButton : public CSkinButton {
  Q_OBJECT

 public:
  explicit CSkinRadioButton(const QString& text = QString(), QWidget* parent = nullptr);

 protected:
  void Activate() override;
  void CheckChanged() override;
  void DrawBox(SkinCanvas& canvas, const QRect& area) const override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  [[nodiscard]] std::vector<CSkinRadioButton*> Group() const;
  // The previous (step -1) or next (step 1) button of the group, or null at either end.
  [[nodiscard]] CSkinRadioButton* Neighbour(int step) const;
  void UncheckOthers();
  void UpdateTabStops() const;
  void DrawShading(SkinCanvas& canvas, const SkinColors& colours) const;
};

}  // namespace tw
