#include <climits>

#include <gtest/gtest.h>

#include "controls/percent_progress_model.h"

using tw::PercentProgressModel;

TEST(PercentProgressModel, RepaintsOnlyWhenTheBarWidthChanges) {
  PercentProgressModel model;
  EXPECT_TRUE(model.SetPos(10, 50).repaint);  // 5 pixels, first time
  const auto same = model.SetPos(11, 50);     // still 5 pixels
  EXPECT_FALSE(same.repaint);
  EXPECT_EQ(same.previous, 10);
  EXPECT_TRUE(model.SetPos(12, 50).repaint);

  model.ForgetBarWidth();
  EXPECT_TRUE(model.SetPos(12, 50).repaint);
}

TEST(PercentProgressModel, TextIsThePercentageUnlessACaptionIsSet) {
  PercentProgressModel model;
  EXPECT_EQ(model.Text(), "0%");
  model.SetPos(100, 190);
  EXPECT_EQ(model.Text(), "100%");

  EXPECT_TRUE(model.SetCaption("Flash Writing 3 th Block"));
  EXPECT_FALSE(model.SetCaption("Flash Writing 3 th Block"));
  model.SetPos(40, 190);
  EXPECT_EQ(model.Text(), "Flash Writing 3 th Block");
  EXPECT_TRUE(model.SetCaption(""));
  EXPECT_EQ(model.Text(), "40%");
}

TEST(PercentProgressModel, PositionsOutsideTheRangeAreShownAsTheyCome) {
  PercentProgressModel model;
  model.SetPos(150, 100);
  EXPECT_EQ(model.Text(), "150%");
  EXPECT_EQ(model.SplitX(10, 110), 160);
  model.SetPos(-5, 100);
  EXPECT_EQ(model.Text(), "-5%");
  EXPECT_EQ(model.SplitX(10, 110), 5);

  // Extreme positions saturate instead of overflowing.
  model.SetPos(INT_MAX, 1000);
  EXPECT_EQ(model.SplitX(10, 1010), INT_MAX);
  model.SetPos(INT_MIN, 1000);
  EXPECT_EQ(model.SplitX(10, 1010), INT_MIN);
}
