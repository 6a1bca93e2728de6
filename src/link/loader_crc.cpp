#include "link/loader_crc.h"

namespace tw {

namespace {

constexpr std::uint32_t kPolynomial = 0x04C11DB7;

constexpr CrcTable MakeTable() {
  CrcTable table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i << 24;
    for (int bit = 0; bit < 8; ++bit) {
      r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
    }
    table[i] = r;
  }
  return table;
}

constexpr CrcTable kTable = MakeTable();
static_assert(kTable[1] == 0x04C11DB7);
static_assert(kTable[255] == 0xB1F740B4);

// Slice tables: kSlices[k][b] is the CRC of byte b followed by k zero bytes.
using SliceTables = std::array<CrcTable, 8>;

constexpr SliceTables MakeSlices() {
  SliceTables s{};
  s[0] = kTable;
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::size_t b = 0; b < 256; ++b) {
      const std::uint32_t prev = s[k - 1][b];
      s[k][b] = (prev << 8) ^ kTable[prev >> 24];
    }
  }
  return s;
}

constexpr SliceTables kSlices = MakeSlices();

}  // namespace

const CrcTable& LoaderCrcTable() { return kTable; }

std::uint32_t LoaderCrcReference(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
  for (std::size_t i = 0; i < count; ++i) {
    crc = (crc << 8) ^ kTable[(crc >> 24) ^ data[i]];
  }
  return crc;
}

std::uint32_t LoaderCrc(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
  while (count >= 8) {
    const std::uint32_t hi = crc ^ ((std::uint32_t{data[0]} << 24) | (std::uint32_t{data[1]} << 16) |
                                    (std::uint32_t{data[2]} << 8) | std::uint32_t{data[3]});
    crc = kSlices[7][hi >> 24] ^ kSlices[6][(hi >> 16) & 0xFF] ^ kSlices[5][(hi >> 8) & 0xFF] ^
          kSlices[4][hi & 0xFF] ^ kSlices[3][data[4]] ^ kSlices[2][data[5]] ^ kSlices[1][data[6]] ^
          kSlices[0][data[7]];
    data += 8;
    count -= 8;
  }
  return LoaderCrcReference(data, count, crc);
}

std::uint32_t Crc(const std::uint8_t* data, long count) {
  if (count < 1) {
    return 0;
  }
  return LoaderCrc(data, static_cast<std::size_t>(count));
}

}  // namespace tw
