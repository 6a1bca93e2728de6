#include "controls/flat_combo_box_hover.h"

namespace tw {

FlatComboBoxHover& FlatComboBoxHover::Shared() {
  static FlatComboBoxHover shared;
  return shared;
}

FlatComboBoxHover::Step FlatComboBoxHover::Tick(bool buttonDown, bool cursorInside) {
  Step step;
  if (buttonDown) {
    step.stopTimer = true;
    if (m_hoverPainted) {
      step.frame = FlatFrameState::Pressed;
      m_hoverPainted = false;
    }
    return step;
  }
  if (cursorInside) {
    if (!m_hoverPainted) {
      m_hoverPainted = true;
      step.frame = FlatFrameState::Hover;
    }
    return step;
  }
  step.stopTimer = true;
  if (m_hoverPainted) {
    step.frame = FlatFrameState::Normal;
    m_hoverPainted = false;
  }
  return step;
}

}  // namespace tw
