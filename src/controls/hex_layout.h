#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tw {

// Where the caret is: the byte's address cell, its ASCII character or one of its two hex digits.
enum class HexArea : int { Address = 0, Ascii = 1, HexHigh = 2, HexLow = 3 };

[[nodiscard]] constexpr bool IsHexArea(HexArea area) { return area == HexArea::HexHigh || area == HexArea::HexLow; }

struct HexColumns {
  bool showAddress = true;
  bool showHex = true;
  bool showAscii = true;
  bool wideAddress = true;
};

// A click that landed on a row: the byte and area under it and the caret's character cell.
struct HexHit {
  std::uint32_t offset = 0;
  HexArea area = HexArea::Address;
  int cell = 0;
  int row = 0;
};

// Pixel geometry of the three columns and the row count, recomputed from the font metrics, the
// client size and the data length.
class HexLayout {
 public:
  static constexpr std::uint32_t kBytesPerLine = 16;
  static constexpr int kHexCellsPerByte = 3;  // two digits and a blank

  void SetColumns(const HexColumns& columns) { m_columns = columns; }
  void SetMetrics(int charWidth, int lineHeight);
  void SetClientSize(int width, int height);
  void Recalc(std::uint32_t length);

  [[nodiscard]] const HexColumns& Columns() const { return m_columns; }
  [[nodiscard]] int CharWidth() const { return m_charWidth; }
  [[nodiscard]] int LineHeight() const { return m_lineHeight; }
  [[nodiscard]] int ClientWidth() const { return m_clientWidth; }
  [[nodiscard]] int ClientHeight() const { return m_clientHeight; }
  [[nodiscard]] int VisibleLines() const { return m_visibleLines; }
  [[nodiscard]] bool PartialLastLine() const { return m_partialLastLine; }
  [[nodiscard]] int HexColumnX() const { return m_hexColumnX; }
  [[nodiscard]] int AsciiColumnX() const { return m_asciiColumnX; }
  [[nodiscard]] int AddressDigits() const;
  [[nodiscard]] int WholeRows() const { return m_clientHeight / m_lineHeight; }
  [[nodiscard]] int ContentWidth() const;

  // x is in content coordinates (already shifted by the horizontal scroll).
  [[nodiscard]] std::optional<HexHit> HitTest(int x, int y, std::uint32_t topOffset, std::uint32_t length) const;

  [[nodiscard]] static std::string AddressText(std::uint32_t address, bool wide);
  // Two upper-case digits and a blank per byte.
  [[nodiscard]] static std::string HexPairs(std::span<const std::uint8_t> bytes);
  // Always 3 x kBytesPerLine characters: rows past the data are padded with blanks.
  [[nodiscard]] static std::string HexText(std::span<const std::uint8_t> row);
  [[nodiscard]] static std::string AsciiText(std::span<const std::uint8_t> row);
  [[nodiscard]] static char AsciiChar(std::uint8_t byte);

 private:
  HexColumns m_columns;
  int m_charWidth = 8;
  int m_lineHeight = 16;
  int m_clientWidth = 0;
  int m_clientHeight = 0;
  int m_visibleLines = 1;
  bool m_partialLastLine = true;
  int m_hexColumnX = 0;
  int m_asciiColumnX = 0;
};

}  // namespace tw
