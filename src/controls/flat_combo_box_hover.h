#pragma once

#include <optional>

namespace tw {

enum class FlatFrameState { Normal, Hover, Pressed };

// The flat combo boxes' hover check, run on each tick of a combo box's hover timer. The hover-painted
// flag is shared by every combo box of the program (Shared()): it records that some combo box shows the
// hover look, so the next one may wait up to one tick for its own.
class FlatComboBoxHover {
 public:
  struct Step {
    bool stopTimer = false;
    std::optional<FlatFrameState> frame;  // the frame to draw now, if any
  };

  [[nodiscard]] static FlatComboBoxHover& Shared();

  Step Tick(bool buttonDown, bool cursorInside);
  [[nodiscard]] bool HoverPainted() const { return m_hoverPainted; }

 private:
  bool m_hoverPainted = false;
};

}  // namespace tw
