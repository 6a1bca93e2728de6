#include "link/loader_crc.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "link/loader_crc_variants.h"

namespace tw {
namespace {

using Method = std::uint32_t (*)(const std::uint8_t*, std::size_t, std::uint32_t);

const std::uint8_t* Bytes(std::string_view text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) {
    b = static_cast<std::uint8_t>(gen());
  }
  return bytes;
}

TEST(LoaderCrc, CheckValueAndEmptyOrNegativeLengths) {
  constexpr std::string_view kCheck = "123456789";
  EXPECT_EQ(LoaderCrcReference(Bytes(kCheck), kCheck.size()), 0x89A1897Fu);
  EXPECT_EQ(Crc(Bytes(kCheck), static_cast<long>(kCheck.size())), 0x89A1897Fu);
  EXPECT_EQ(Crc(Bytes(kCheck), 0), 0u);
  EXPECT_EQ(Crc(Bytes(kCheck), -1), 0u);
}

class FastCrc : public ::testing::TestWithParam<Method> {
 protected:
  void SetUp() override {
    if (GetParam() == &LoaderCrcClmul && !HasCarrylessMultiply()) {
      GTEST_SKIP() << "no carry-less multiply on this CPU";
    }
  }
};

// Every length across the fold boundaries (16, 64, 128 bytes) at every alignment, with a running CRC.
TEST_P(FastCrc, MatchesReferenceOnRandomData) {
  const Method fast = GetParam();
  const auto data = RandomBytes(4096 + 16, 7);
  std::mt19937 gen(11);
  for (std::size_t length = 0; length <= 600; ++length) {
    for (std::size_t offset = 0; offset < 16; ++offset) {
      const std::uint32_t start = offset % 2 == 0 ? 0 : gen();
      ASSERT_EQ(fast(data.data() + offset, length, start), LoaderCrcReference(data.data() + offset, length, start))
          << "length " << length << " offset " << offset;
    }
  }
  EXPECT_EQ(fast(data.data() + 3, 4096, 0), LoaderCrcReference(data.data() + 3, 4096, 0));
}

TEST_P(FastCrc, LargeBufferInPiecesEqualsWhole) {
  const Method fast = GetParam();
  const auto data = RandomBytes(1 << 20, 3);
  const std::uint32_t whole = LoaderCrcReference(data.data(), data.size(), 0);
  EXPECT_EQ(fast(data.data(), data.size(), 0), whole);
  const std::size_t cut = 333333;
  EXPECT_EQ(fast(data.data() + cut, data.size() - cut, fast(data.data(), cut, 0)), whole);
}

INSTANTIATE_TEST_SUITE_P(Methods, FastCrc, ::testing::Values(&LoaderCrcSlice8, &LoaderCrcClmul, &LoaderCrc),
                         [](const auto& info) {
                           return std::string(info.index == 0 ? "Slice8" : info.index == 1 ? "Clmul" : "Chosen");
                         });

}  // namespace
}  // namespace tw
