#include "link/loader_crc.h"

#include "link/loader_crc_variants.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

std::uint32_t LoaderCrcSlice8(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
  while (count >= 8) {
    const std::uint32_t hi = crc ^ ((std::uint32_t{data[0]} << 24) | (std::uint32_t{data[1]} << 16) |
                                    (std::uint32_t{data[2]} << 8) | std::uint32_t{data[3]});
    crc = kSlices[7][hi >> 24] ^ kSlices[6][(hi >> 16) & 0xFF] ^ kSlices[5][(hi >> 8) & 0xFF] ^ kSlices[4][hi & 0xFF] ^
          kSlices[3][data[4]] ^ kSlices[2][data[5]] ^ kSlices[1][data[6]] ^ kSlices[0][data[7]];
    data += 8;
    count -= 8;
  }
  return LoaderCrcReference(data, count, crc);
}

namespace {

// x^k mod P, the folding constants.
constexpr std::uint32_t XPowMod(unsigned k) {
  std::uint32_t r = 1;
  for (unsigned i = 0; i < k; ++i) {
    r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
  }
  return r;
}

static_assert(XPowMod(32) == kPolynomial);

// Fold distances: four lanes ahead (512 bits) in the main loop, one lane (128 bits) to combine.
constexpr long long kFar = XPowMod(512), kFarHigh = XPowMod(512 + 64);
constexpr long long kNear = XPowMod(128), kNearHigh = XPowMod(128 + 64);

constexpr std::size_t kFoldLanes = 4;
constexpr std::size_t kLaneBytes = 16;
constexpr std::size_t kStride = kFoldLanes * kLaneBytes;

#if defined(__x86_64__)

#define TW_CLMUL_TARGET __attribute__((target("pclmul,ssse3")))

// A 128-bit lane holds 16 message bytes as a polynomial, the first byte's top bit at x^127.
TW_CLMUL_TARGET inline __m128i LoadLane(const std::uint8_t* p) {
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

// lane * x^D mod P, short enough (96 bits) to XOR into the lane D bits further on.
// k holds x^(D+64) mod P in its high half and x^D mod P in its low half.
TW_CLMUL_TARGET inline __m128i Fold(__m128i lane, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x00), _mm_clmulepi64_si128(lane, k, 0x11));
}

TW_CLMUL_TARGET std::uint32_t ClmulBody(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
  const __m128i k512 = _mm_set_epi64x(kFarHigh, kFar);
  const __m128i k128 = _mm_set_epi64x(kNearHigh, kNear);
  // A running CRC is the same as those 32 bits XORed into the message's first four bytes.
  __m128i lanes[kFoldLanes];
  for (std::size_t i = 0; i < kFoldLanes; ++i) {
    lanes[i] = LoadLane(data + i * kLaneBytes);
  }
  lanes[0] = _mm_xor_si128(lanes[0], _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
  data += kStride;
  count -= kStride;
  for (; count >= kStride; data += kStride, count -= kStride) {
    for (std::size_t i = 0; i < kFoldLanes; ++i) {
      lanes[i] = _mm_xor_si128(Fold(lanes[i], k512), LoadLane(data + i * kLaneBytes));
    }
  }
  __m128i acc = lanes[0];
  for (std::size_t i = 1; i < kFoldLanes; ++i) {
    acc = _mm_xor_si128(Fold(acc, k128), lanes[i]);
  }
  for (; count >= kLaneBytes; data += kLaneBytes, count -= kLaneBytes) {
    acc = _mm_xor_si128(Fold(acc, k128), LoadLane(data));
  }
  // The folded lane is congruent to the message so far; its CRC is the message's.
  alignas(16) std::uint8_t folded[kLaneBytes];
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  _mm_store_si128(reinterpret_cast<__m128i*>(folded), _mm_shuffle_epi8(acc, reverse));
  return LoaderCrcSlice8(data, count, LoaderCrcReference(folded, kLaneBytes));
}

#endif

using CrcMethod = std::uint32_t (*)(const std::uint8_t*, std::size_t, std::uint32_t);

CrcMethod ChooseFastest() { return HasCarrylessMultiply() ? LoaderCrcClmul : LoaderCrcSlice8; }

}  // namespace

bool HasCarrylessMultiply() {
#if defined(__x86_64__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
#else
  return false;
#endif
}

std::uint32_t LoaderCrcClmul(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
#if defined(__x86_64__)
  if (count >= kStride) {
    return ClmulBody(data, count, crc);
  }
#endif
  return LoaderCrcSlice8(data, count, crc);
}

std::uint32_t LoaderCrc(const std::uint8_t* data, std::size_t count, std::uint32_t crc) {
  static const CrcMethod fastest = ChooseFastest();
  return fastest(data, count, crc);
}

std::uint32_t Crc(const std::uint8_t* data, long count) {
  if (count < 1) {
    return 0;
  }
  return LoaderCrc(data, static_cast<std::size_t>(count));
}

}  // namespace tw
