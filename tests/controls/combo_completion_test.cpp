#include <gtest/gtest.h>

#include "controls/combo_completion.h"

using tw::ComboCompletion;

namespace {

const QStringList kSpeeds{"9600", "19200", "38400", "57600", "115200"};

}  // namespace

// Typing, completing and no match are driven through the combo box in flat_controls_test.
TEST(ComboCompletion, AnEditInsideTheTextKeepsItsSelectionAndAnEmptyTextMatchesNothing) {
  const auto result = ComboCompletion::Complete(kSpeeds, "384", {1, 1});
  EXPECT_EQ(result.item, 2);
  EXPECT_EQ(result.selection.start, 1);
  EXPECT_EQ(result.selection.end, 1);
  EXPECT_EQ(ComboCompletion::Complete(kSpeeds, "", {0, 0}).item, -1);
}
