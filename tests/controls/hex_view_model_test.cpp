#include "controls/hex_view_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tw {
namespace {

constexpr int kCw = 8;
constexpr int kLh = 16;
constexpr int kRows = 10;
constexpr int kWidth = 80 * kCw;

class HexViewModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SetMetrics(kCw, kLh);
    m.SetClientSize(kWidth, kRows * kLh);
    m.SetDragDistance(4);
    m.FocusIn();
  }

  void Load(const std::vector<std::uint8_t>& bytes) {
    m.Clear();
    for (std::uint32_t i = 0; i < bytes.size(); ++i) {
      m.AppendByte(bytes[i], i);
    }
    m.SetLength(static_cast<std::uint32_t>(bytes.size()));
    m.EnsureLayout();
  }

  void LoadCounting(std::uint32_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      bytes[i] = static_cast<std::uint8_t>(i);
    }
    Load(bytes);
  }

  // Clicks the given byte's cell (in the visible rows) in one of the columns.
  void Click(std::uint32_t offset, HexArea area, bool shift = false) {
    const auto rel = static_cast<int>(offset - m.TopOffset());
    const int row = rel / 16;
    const int col = rel % 16;
    const HexLayout& l = m.Layout();
    int x = 0;
    switch (area) {
      case HexArea::Address:
        x = 1;
        break;
      case HexArea::Ascii:
        x = l.AsciiColumnX() + col * kCw + 1;
        break;
      case HexArea::HexHigh:
        x = l.HexColumnX() + 3 * col * kCw + 1;
        break;
      case HexArea::HexLow:
        x = l.HexColumnX() + (3 * col + 1) * kCw + 1;
        break;
    }
    m.MouseDown(x, row * kLh + 1, shift);
    m.MouseUp();
  }

  void Key(HexKey key, bool shift = false, bool ctrl = false) { m.KeyDown(key, shift, ctrl); }

  void Type(const std::string& text) {
    for (const char ch : text) {
      EXPECT_EQ(m.CharInput(ch, false), HexCharAction::None);
    }
  }

  [[nodiscard]] std::vector<std::uint8_t> Bytes() const { return {m.GetData(), m.GetData() + m.GetLength()}; }

  void ExpectCaretOnByte() const {
    if (m.GetLength() > 0) {
      EXPECT_GE(m.CaretOffset(), 0);
      EXPECT_LT(m.CaretOffset(), m.GetLength());
    }
  }

  HexViewModel m;
};

// ---- buffer and layout ------------------------------------------------------------------------

TEST_F(HexViewModelTest, AddressesStartAtTheBaseAndHexMovesLeftWithoutAddresses) {
  LoadCounting(64);
  m.SetAddressBase(0x7FE00000);
  const auto rows = m.VisibleRows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].address, "7FE00000");
  EXPECT_EQ(rows[1].address, "7FE00010");
  EXPECT_EQ(rows[0].hex.substr(0, 9), "00 01 02 ");
  EXPECT_EQ(m.Layout().HexColumnX(), 9 * kCw);

  m.SetColumns(false, true, true, true);
  m.EnsureLayout();
  EXPECT_EQ(m.Layout().HexColumnX(), 0);
  EXPECT_EQ(m.Layout().AsciiColumnX(), 48 * kCw);
  EXPECT_TRUE(m.VisibleRows()[0].address.empty());
}

TEST_F(HexViewModelTest, ShortDataRowsAndThePartialRowRule) {
  LoadCounting(20);
  EXPECT_EQ(m.Layout().VisibleLines(), 2);
  EXPECT_TRUE(m.Layout().PartialLastLine());
  const auto rows = m.VisibleRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].hex, "10 11 12 13 " + std::string(36, ' '));
  EXPECT_EQ(rows[1].ascii, "....");

  LoadCounting(24);
  EXPECT_EQ(m.Layout().VisibleLines(), 3);  // remainder 8 rounds up to an empty extra row
  Click(20, HexArea::HexHigh);
  EXPECT_EQ(m.CaretOffset(), 20);
  m.MouseDown(m.Layout().HexColumnX() + 1, 2 * kLh + 1, false);  // the empty third row
  m.MouseUp();
  EXPECT_EQ(m.CaretOffset(), 20);
}

TEST_F(HexViewModelTest, AsciiShowsPrintablesOnly) {
  Load({0x41, 0x00, 0x7F, 0x20});
  EXPECT_EQ(m.VisibleRows()[0].ascii, "A.. ");
}

TEST_F(HexViewModelTest, AppendByteGrowsGeometricallyAndNeverReadsPastTheBuffer) {
  std::set<const std::uint8_t*> blocks;
  constexpr std::uint32_t kSize = 1 << 20;
  for (std::uint32_t i = 0; i < kSize; ++i) {
    m.AppendByte(static_cast<std::uint8_t>(i * 7), i);
    blocks.insert(m.GetData());
  }
  m.SetLength(kSize);
  EXPECT_LE(blocks.size(), 40u);  // a reallocation per byte would give about a million
  EXPECT_EQ(m.GetData()[kSize - 1], static_cast<std::uint8_t>((kSize - 1) * 7));

  m.AppendByte(0x55, 0);  // a new buffer without Clear: the stale length must not outlive the bytes
  EXPECT_EQ(m.GetLength(), 1u);
  m.SetLength(3);  // bytes never appended read as zero
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{0x55, 0, 0}));
  m.Clear();
  EXPECT_EQ(m.GetData(), nullptr);
  EXPECT_EQ(m.GetLength(), 0u);
}

// ---- caret movement ---------------------------------------------------------------------------

TEST_F(HexViewModelTest, ArrowsStepByNibbleAndRowAndStopAtTheEnds) {
  LoadCounting(32);
  Click(5, HexArea::HexHigh);
  Key(HexKey::Right);
  EXPECT_EQ(m.CaretOffset(), 5);
  EXPECT_EQ(m.CaretArea(), HexArea::HexLow);
  Key(HexKey::Right);
  EXPECT_EQ(m.CaretOffset(), 6);
  EXPECT_EQ(m.CaretArea(), HexArea::HexHigh);

  Click(0, HexArea::HexHigh);
  Key(HexKey::Left);
  EXPECT_EQ(m.CaretOffset(), 0);
  EXPECT_EQ(m.CaretArea(), HexArea::HexLow);

  Click(31, HexArea::HexLow);  // at the last byte the low nibble returns to its high one
  Key(HexKey::Right);
  EXPECT_EQ(m.CaretOffset(), 31);
  EXPECT_EQ(m.CaretArea(), HexArea::HexHigh);

  // Up on the first row goes to byte 0, Down on the last row stays, Down above a short row stops short.
  LoadCounting(40);
  Click(5, HexArea::Ascii);
  Key(HexKey::Up);
  EXPECT_EQ(m.CaretOffset(), 0);
  Click(37, HexArea::Ascii);
  Key(HexKey::Down);
  EXPECT_EQ(m.CaretOffset(), 37);
  Click(20, HexArea::Ascii);
  Key(HexKey::Down);
  EXPECT_EQ(m.CaretOffset(), 36);

  // In the address column the arrows do nothing; Tab leaves it for the hex and then the ASCII column.
  Click(16, HexArea::Address);
  EXPECT_EQ(m.CaretArea(), HexArea::Address);
  Key(HexKey::Right);
  Key(HexKey::Down);
  EXPECT_EQ(m.CaretOffset(), 16);
  Key(HexKey::Tab);
  EXPECT_EQ(m.CaretArea(), HexArea::HexHigh);
  Key(HexKey::Tab);
  EXPECT_EQ(m.CaretArea(), HexArea::Ascii);
}

TEST_F(HexViewModelTest, PageDownStopsOnTheLastPage) {
  LoadCounting(1000);
  Click(0, HexArea::HexHigh);
  std::vector<std::uint32_t> tops;
  for (int i = 0; i < 8; ++i) {
    Key(HexKey::PageDown);
    tops.push_back(m.TopOffset());
  }
  EXPECT_EQ(tops, (std::vector<std::uint32_t>{160, 320, 480, 640, 800, 840, 840, 840}));
  EXPECT_EQ(m.VisibleRows()[1].offset, 856u);
  ExpectCaretOnByte();

  m.VScroll(HexScroll::ThumbTrack, 1);
  ASSERT_EQ(m.TopOffset(), 16u);
  Key(HexKey::PageUp);
  EXPECT_EQ(m.TopOffset(), 0u);

  LoadCounting(100);  // fits in the window: the view stays
  Key(HexKey::PageDown);
  EXPECT_EQ(m.TopOffset(), 0u);
}

TEST_F(HexViewModelTest, CaretFollowsTheKeysIntoViewOneLineAtATime) {
  LoadCounting(1000);
  Click(9 * 16, HexArea::Ascii);
  Key(HexKey::Down);
  EXPECT_EQ(m.TopOffset(), 16u);
  EXPECT_EQ(m.CaretOffset(), 160);
  Key(HexKey::End, false, true);
  EXPECT_EQ(m.CaretOffset(), 999);
  EXPECT_EQ(m.TopOffset(), 16u * (63 - kRows));
  Key(HexKey::Home, false, true);
  EXPECT_EQ(m.CaretOffset(), 0);
  EXPECT_EQ(m.TopOffset(), 0u);
  Click(20, HexArea::Ascii);
  Key(HexKey::End);
  EXPECT_EQ(m.CaretOffset(), 31);
  Key(HexKey::Home);
  EXPECT_EQ(m.CaretOffset(), 16);
}

// ---- selection --------------------------------------------------------------------------------

TEST_F(HexViewModelTest, ShiftRightTwiceSelectsTwoBytesInTheHexArea) {
  LoadCounting(32);
  Click(3, HexArea::HexHigh);
  Key(HexKey::Right, true);
  Key(HexKey::Right, true);
  EXPECT_EQ(m.SelectionAnchor(), 3);
  EXPECT_EQ(m.SelectionEnd(), 5);
  EXPECT_EQ(m.CaretOffset(), 4);
  EXPECT_EQ(m.CaretArea(), HexArea::HexHigh);
  EXPECT_TRUE(m.CaretVisible());  // keyboard selection keeps the caret
  EXPECT_EQ(m.VisibleRows()[0].highlightFirst, 9);
  EXPECT_EQ(m.VisibleRows()[0].highlightLast, 15);
  Key(HexKey::Left);
  EXPECT_FALSE(m.HasSelection());
}

TEST_F(HexViewModelTest, ShiftClickAndDragSelect) {
  LoadCounting(1000);
  Click(2, HexArea::Ascii);
  Click(6, HexArea::Ascii, true);
  EXPECT_EQ(m.SelectionAnchor(), 2);
  EXPECT_EQ(m.SelectionEnd(), 6);

  const int x = m.Layout().HexColumnX() + 1;
  m.MouseDown(x, 1, false);
  EXPECT_FALSE(m.HasSelection());
  m.MouseMove(x + 2, 1);  // within the drag distance
  EXPECT_FALSE(m.HasSelection());
  m.MouseMove(x, 3 * kLh + 1);
  EXPECT_EQ(m.SelectionAnchor(), 0);
  EXPECT_EQ(m.SelectionEnd(), 49);
  EXPECT_FALSE(m.CaretVisible());
  m.MouseMove(x, kRows * kLh + 30);  // below the window: one line down per move
  EXPECT_EQ(m.TopOffset(), 16u);
  EXPECT_EQ(m.SelectionEnd(), 16 + 9 * 16 + 1);
  m.MouseMove(x, -30);
  EXPECT_EQ(m.TopOffset(), 0u);
  m.MouseUp();
  m.MouseMove(x, 5 * kLh);
  EXPECT_EQ(m.SelectionEnd(), 1);
}

TEST_F(HexViewModelTest, SelectAllWithoutACaretColumnHighlightsNothing) {
  LoadCounting(40);
  m.SelectAll();
  EXPECT_EQ(m.SelectionEnd(), 40);
  EXPECT_FALSE(m.HighlightColumn().has_value());
  EXPECT_EQ(m.VisibleRows()[0].highlightLast, 0);
  EXPECT_FALSE(m.CaretVisible());
}

// ---- editing ----------------------------------------------------------------------------------

TEST_F(HexViewModelTest, TypingSkipsNonDigitsAndStaysOnTheLastByte) {
  Load({0, 0, 0});
  Click(0, HexArea::HexHigh);
  Type("aB");
  EXPECT_EQ(m.CaretOffset(), 1);
  Type("G");
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{0xAB, 0, 0}));
  EXPECT_EQ(m.CaretOffset(), 1);

  Click(1, HexArea::Ascii);
  Type("xyz");  // the last byte takes the last key; the caret stays on it
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{0xAB, 'x', 'z'}));
  EXPECT_EQ(m.CaretOffset(), 2);
  EXPECT_EQ(m.CharInput('\r', false), HexCharAction::None);
  EXPECT_EQ(Bytes()[2], 13);

  // Backspace on byte 0 has nothing before it.
  Click(0, HexArea::HexHigh);
  EXPECT_EQ(m.CharInput(8, false), HexCharAction::None);
  EXPECT_EQ(m.GetLength(), 3u);
}

TEST_F(HexViewModelTest, ControlCharactersAskForClipboardWork) {
  LoadCounting(8);
  EXPECT_EQ(m.CharInput(3, true), HexCharAction::None);  // copy needs a selection
  EXPECT_EQ(m.CharInput(22, true), HexCharAction::Paste);
  m.SelectAll();
  EXPECT_EQ(m.CharInput(3, true), HexCharAction::Copy);
  EXPECT_EQ(m.CharInput(24, true), HexCharAction::Cut);
  EXPECT_EQ(m.CharInput(26, true), HexCharAction::None);
  EXPECT_EQ(m.GetLength(), 8u);
}

TEST_F(HexViewModelTest, BackwardSelectionCopiesCutsAndDeletesTheSameBytes) {
  for (const bool backwards : {false, true}) {
    LoadCounting(20);
    Click(backwards ? 7 : 3, HexArea::Ascii);
    Click(backwards ? 3 : 7, HexArea::Ascii, true);
    EXPECT_EQ(m.Copy()->bytes, (std::vector<std::uint8_t>{3, 4, 5, 6}));
    const auto cut = m.Cut();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->bytes.size(), 4u);
    EXPECT_EQ(m.GetLength(), 16u);
    EXPECT_EQ(Bytes()[3], 7);

    LoadCounting(20);
    Click(backwards ? 7 : 3, HexArea::Ascii);
    Click(backwards ? 3 : 7, HexArea::Ascii, true);
    Key(HexKey::Delete);
    EXPECT_EQ(Bytes()[3], 7);
    EXPECT_EQ(m.CaretOffset(), 3);
  }
}

TEST_F(HexViewModelTest, PasteOverASelectionReplacesIt) {
  LoadCounting(20);
  Click(2, HexArea::Ascii);
  Click(6, HexArea::Ascii, true);
  m.Paste(std::vector<std::uint8_t>{0xEE});
  EXPECT_EQ(m.GetLength(), 17u);
  EXPECT_EQ(Bytes()[2], 0xEE);
  EXPECT_EQ(Bytes()[3], 6);
  EXPECT_FALSE(m.HasSelection());
}

TEST_F(HexViewModelTest, InsertWithASelectionInsertsItsSizeAndDropsIt) {
  LoadCounting(10);
  Click(2, HexArea::Ascii);
  Click(5, HexArea::Ascii, true);
  ASSERT_EQ(m.SelectionAnchor(), 2);
  ASSERT_EQ(m.SelectionEnd(), 5);
  ASSERT_EQ(m.CaretOffset(), 5);
  Key(HexKey::Insert);
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 0, 0, 0, 5, 6, 7, 8, 9}));
  EXPECT_FALSE(m.HasSelection());
  Key(HexKey::Insert);
  EXPECT_EQ(m.GetLength(), 14u);
}

TEST_F(HexViewModelTest, PasteCreatesABufferInAnEmptyViewer) {
  m.Paste(std::vector<std::uint8_t>{'h', 'i'});
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{'h', 'i'}));
  EXPECT_EQ(m.CaretOffset(), 0);
}

TEST_F(HexViewModelTest, DeleteKeyRemovesTheCaretsByte) {
  Load({1, 2, 3});
  Click(2, HexArea::HexHigh);
  Key(HexKey::Delete);
  EXPECT_EQ(Bytes(), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(m.CaretOffset(), 1);
  Key(HexKey::Delete);
  Key(HexKey::Delete);
  EXPECT_EQ(m.GetLength(), 0u);
  Key(HexKey::Delete);  // nothing left: no effect, no crash
  EXPECT_NE(m.GetData(), nullptr);
}

// ---- the caret stays on a byte ----------------------------------------------------------------

TEST_F(HexViewModelTest, CaretIsPulledBackToTheLastByteOnEveryPath) {
  // A click past the last byte of a partial row.
  LoadCounting(20);
  m.MouseDown(m.Layout().HexColumnX() + 3 * 10 * kCw + 1, kLh + 1, false);
  m.MouseUp();
  EXPECT_EQ(m.CaretOffset(), 19);

  // A drag that runs past the end of a scrolled view.
  LoadCounting(1000);
  Key(HexKey::End, false, true);
  m.MouseDown(m.Layout().HexColumnX() + 1, 1, false);
  m.MouseMove(m.Layout().HexColumnX() + 40 * kCw, kRows * kLh - 1);
  ExpectCaretOnByte();
  EXPECT_LE(m.SelectionEnd(), 1000);
  m.MouseUp();

  // Cut and Delete of the tail, and Paste after a selection that shortened the buffer.
  LoadCounting(40);
  Click(20, HexArea::HexHigh);
  Click(39, HexArea::HexHigh, true);
  ASSERT_TRUE(m.Cut());
  EXPECT_EQ(m.GetLength(), 20u);
  EXPECT_EQ(m.CaretOffset(), 19);
  Click(5, HexArea::HexHigh);
  Click(19, HexArea::HexHigh, true);
  m.Paste(std::vector<std::uint8_t>{1});
  EXPECT_EQ(m.GetLength(), 6u);
  EXPECT_EQ(m.CaretOffset(), 5);
  Type("7");
  EXPECT_EQ(m.GetLength(), 6u);
  EXPECT_EQ(Bytes()[5], 0x71);
}

TEST_F(HexViewModelTest, ReloadingAShorterBufferBringsViewAndCaretBack) {
  LoadCounting(4000);
  Key(HexKey::End, false, true);
  ASSERT_GT(m.TopOffset(), 100u);
  LoadCounting(50);
  EXPECT_EQ(m.TopOffset(), 0u);
  ExpectCaretOnByte();
  EXPECT_EQ(m.VisibleRows().size(), 4u);
}

// ---- scroll bars ------------------------------------------------------------------------------

TEST_F(HexViewModelTest, ScrollBarsCoverEveryRow) {
  LoadCounting(1000);
  const HexScrollBars bars = m.ScrollBars();
  EXPECT_EQ(bars.vMax, 63 - kRows);  // the partial last row can be reached
  EXPECT_EQ(bars.vPage, kRows);
  EXPECT_EQ(bars.hMax, 0);
  m.VScroll(HexScroll::ThumbTrack, bars.vMax);
  EXPECT_EQ(m.VisibleRows().back().offset, 992u);
  ExpectCaretOnByte();

  m.SetHorizontalOffset(1 << 20);  // no sideways room: the offset stays 0
  EXPECT_EQ(m.HorizontalOffset(), 0);
}

}  // namespace
}  // namespace tw
