#include <gtest/gtest.h>

#include "controls/skin_colors.h"

using tw::SkinColors;

TEST(SkinColors, ClassicGreyDerivesMixAndDeepMix) {
  const SkinColors colours = SkinColors::From(QColor(255, 255, 255), QColor(192, 192, 192), QColor(192, 192, 192),
                                              QColor(128, 128, 128), QColor(0, 0, 0), QColor(0, 0, 0));
  EXPECT_EQ(colours.mix, QColor(160, 160, 160));
  EXPECT_EQ(colours.deepMix, QColor(64, 64, 64));
}

TEST(SkinColors, HalvingRoundsTowardMinusInfinityPerChannel) {
  // 193 + (128 - 193) >> 1 = 193 - 33; a division would give 161.
  EXPECT_EQ(SkinColors::HalfWay(QColor(193, 10, 0), QColor(128, 15, 1)), QColor(160, 12, 0));
}

TEST(SkinColors, DarkeningStopsAtZeroAndLeavesTheShadowsBeyondTheFace) {
  const SkinColors colours = SkinColors::From(QColor(255, 255, 255), QColor(30, 200, 50), QColor(192, 192, 192),
                                              QColor(128, 128, 128), QColor(0, 0, 0), QColor(0, 0, 0));
  const SkinColors dark = colours.Darkened(40);
  EXPECT_EQ(dark.face, QColor(152, 152, 152));
  EXPECT_EQ(dark.light, QColor(0, 160, 10));
  EXPECT_EQ(dark.highlight, QColor(215, 215, 215));
  EXPECT_EQ(dark.mix, QColor(120, 120, 120));
  EXPECT_EQ(dark.shadow, QColor(88, 88, 88));
  EXPECT_EQ(dark.deepMix, colours.deepMix);
  EXPECT_EQ(dark.darkShadow, colours.darkShadow);
}
