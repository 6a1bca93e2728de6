#include "controls/hex_layout.h"

#include <algorithm>
#include <cstdio>

namespace tw {

namespace {

constexpr int kWideAddressDigits = 8;
constexpr int kNarrowAddressDigits = 4;
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

}  // namespace

void HexLayout::SetMetrics(int charWidth, int lineHeight) {
  m_charWidth = std::max(charWidth, 1);
  m_lineHeight = std::max(lineHeight, 1);
}

void HexLayout::SetClientSize(int width, int height) {
  m_clientWidth = std::max(width, 0);
  m_clientHeight = std::max(height, 0);
}

int HexLayout::AddressDigits() const {
  if (!m_columns.showAddress) {
    return 0;
  }
  return m_columns.wideAddress ? kWideAddressDigits : kNarrowAddressDigits;
}

void HexLayout::Recalc(std::uint32_t length) {
  const int addressCells = m_columns.showAddress ? AddressDigits() + 1 : 0;
  m_hexColumnX = addressCells * m_charWidth;
  const int hexWidth = m_columns.showHex ? kHexCellsPerByte * int{kBytesPerLine} * m_charWidth : 0;
  m_asciiColumnX = m_hexColumnX + hexWidth;

  m_visibleLines = WholeRows();
  m_partialLastLine = false;
  if (std::uint64_t{kBytesPerLine} * static_cast<std::uint64_t>(m_visibleLines) > length) {
    // Rounds to nearest: a remainder of 8 or more gets one empty row below the data.
    m_visibleLines = static_cast<int>((length + kBytesPerLine / 2) / kBytesPerLine);
    if (length % kBytesPerLine != 0) {
      ++m_visibleLines;
      m_partialLastLine = true;
    }
  }
}

int HexLayout::ContentWidth() const {
  return m_asciiColumnX + (m_columns.showAscii ? int{kBytesPerLine} * m_charWidth : 0);
}

std::optional<HexHit> HexLayout::HitTest(int x, int y, std::uint32_t topOffset, std::uint32_t length) const {
  const int row = y / m_lineHeight;
  if (row < 0 || row >= m_visibleLines || std::uint64_t{kBytesPerLine} * static_cast<std::uint64_t>(row) > length) {
    return std::nullopt;
  }
  const int c = x / m_charWidth + 1;  // 1-based cell
  const std::uint32_t rowStart = topOffset + static_cast<std::uint32_t>(row) * kBytesPerLine;
  const int hexStart = m_hexColumnX / m_charWidth;
  const int asciiStart = m_asciiColumnX / m_charWidth;

  if (m_columns.showAddress && c <= AddressDigits()) {
    return HexHit{rowStart, HexArea::Address, 0, row};
  }
  if (m_columns.showHex && c < hexStart + kHexCellsPerByte * int{kBytesPerLine}) {
    // Counted from the column's own start, so that 4-digit addresses hit the digit that is drawn; the
    // blank after a byte belongs to the next byte's high digit.
    const int inColumn = std::max(0, c - 1 - hexStart);
    const int digit = inColumn % kHexCellsPerByte;
    const int byteInRow = inColumn / kHexCellsPerByte + (digit == 2 ? 1 : 0);
    const HexArea area = digit == 1 ? HexArea::HexLow : HexArea::HexHigh;
    const int cell = hexStart + byteInRow * kHexCellsPerByte + (digit == 1 ? 1 : 0);
    return HexHit{rowStart + static_cast<std::uint32_t>(byteInRow), area, cell, row};
  }
  if (m_columns.showAscii && c <= asciiStart + int{kBytesPerLine}) {
    const int k = std::max(0, c - 1 - asciiStart);
    return HexHit{rowStart + static_cast<std::uint32_t>(k), HexArea::Ascii, asciiStart + k, row};
  }
  return std::nullopt;
}

// Four digits are the address's low four: each row's own, not the window's common high part.
std::string HexLayout::AddressText(std::uint32_t address, bool wide) {
  char text[16];
  const unsigned long shown = wide ? address : address & 0xFFFFu;
  std::snprintf(text, sizeof text, wide ? "%08lX" : "%04lX", shown);
  return text;
}

std::string HexLayout::HexPairs(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(kHexCellsPerByte * bytes.size());
  for (const std::uint8_t byte : bytes) {
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0x0F]);
    text.push_back(' ');
  }
  return text;
}

std::string HexLayout::HexText(std::span<const std::uint8_t> row) {
  std::string text = HexPairs(row.first(std::min<std::size_t>(row.size(), kBytesPerLine)));
  text.resize(kHexCellsPerByte * kBytesPerLine, ' ');
  return text;
}

char HexLayout::AsciiChar(std::uint8_t byte) {
  return byte >= kFirstPrintable && byte <= kLastPrintable ? static_cast<char>(byte) : '.';
}

std::string HexLayout::AsciiText(std::span<const std::uint8_t> row) {
  std::string text;
  text.reserve(row.size());
  for (const std::uint8_t byte : row) {
    text.push_back(AsciiChar(byte));
  }
  return text;
}

}  // namespace tw
