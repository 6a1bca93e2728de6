#include <gtest/gtest.h>

#include "controls/combo_completion.h"

using tw::ComboCompletion;

namespace {

const QStringList kSpeeds{"9600", "19200", "38400", "57600", "115200"};

}  // namespace

TEST(ComboCompletion, FirstMatchingItemIsTakenWithTheRestSelected) {
  const auto one = ComboCompletion::Complete(kSpeeds, "1", {1, 1});
  EXPECT_EQ(one.item, 1);
  EXPECT_EQ(one.text, "19200");
  EXPECT_EQ(one.selection.start, 1);
  EXPECT_EQ(one.selection.end, 5);

  const auto two = ComboCompletion::Complete(kSpeeds, "11", {2, 2});
  EXPECT_EQ(two.item, 4);
  EXPECT_EQ(two.text, "115200");
  EXPECT_EQ(two.selection.start, 2);
}

TEST(ComboCompletion, NoMatchKeepsTheTypedTextWithTheCaretAtItsEnd) {
  const auto result = ComboCompletion::Complete(kSpeeds, "119", {3, 3});
  EXPECT_EQ(result.item, -1);
  EXPECT_EQ(result.text, "119");
  EXPECT_EQ(result.selection.start, 3);
  EXPECT_EQ(result.selection.end, 3);
}

TEST(ComboCompletion, AnEditInsideTheTextKeepsItsSelection) {
  const auto result = ComboCompletion::Complete(kSpeeds, "384", {1, 1});
  EXPECT_EQ(result.item, 2);
  EXPECT_EQ(result.selection.start, 1);
  EXPECT_EQ(result.selection.end, 1);
}

TEST(ComboCompletion, MatchingIgnoresCaseButAnEmptyTextMatchesNothing) {
  const QStringList modes{"PROGRAM", "GZIP_PROGRAM"};
  EXPECT_EQ(ComboCompletion::Complete(modes, "gz", {2, 2}).text, "GZIP_PROGRAM");
  EXPECT_EQ(ComboCompletion::Complete(modes, "", {0, 0}).item, -1);
}
