#include <gtest/gtest.h>

#include "controls/flat_combo_box_hover.h"

using tw::FlatComboBoxHover;
using tw::FlatFrameState;

TEST(FlatComboBoxHover, PressedLookOnlyAfterHoverAndTheSharedFlagDelaysTheNextComboBox) {
  FlatComboBoxHover hover;
  auto step = hover.Tick(true, true);
  EXPECT_TRUE(step.stopTimer);
  EXPECT_FALSE(step.frame.has_value());

  hover.Tick(false, true);
  step = hover.Tick(true, true);
  EXPECT_EQ(step.frame, FlatFrameState::Pressed);
  EXPECT_FALSE(hover.HoverPainted());

  // The flag is shared: the second combo box waits until the first has noticed that the pointer left.
  hover.Tick(false, true);                                            // first combo box shows hover
  EXPECT_FALSE(hover.Tick(false, true).frame.has_value());            // second one: the flag is taken
  EXPECT_EQ(hover.Tick(false, false).frame, FlatFrameState::Normal);  // first notices the exit
  EXPECT_EQ(hover.Tick(false, true).frame, FlatFrameState::Hover);    // second gets its look
}
