#pragma once

namespace tw {

// Screen readers (and tests that drive the dialog through them) meet the owner-drawn controls as what
// they stand for: check boxes and radio buttons with their state, a progress bar with its value and
// caption, the hex viewer with its caret's offset.
class ControlAccessibility {
 public:
  // Installs the interface factory once; every custom control's constructor calls it.
  static void Install();
};

}  // namespace tw
