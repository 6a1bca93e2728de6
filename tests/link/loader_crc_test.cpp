#include "link/loader_crc.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "link/loader_crc_variants.h"

namespace tw {
namespace {

using Method = std::uint32_t (*)(const std::uint8_t*, std::size_t, std::uint32_t);

TEST(LoaderCrc, EmptyOrNegativeLengthsGiveZero) {
  const std::uint8_t byte = 1;
  EXPECT_EQ(Crc(&byte, 0), 0u);
  EXPECT_EQ(Crc(&byte, -1), 0u);
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
  std::mt19937 gen(11);
  std::vector<std::uint8_t> data(4096 + 16);
  for (auto& b : data) {
    b = static_cast<std::uint8_t>(gen());
  }
  for (std::size_t length = 0; length <= 600; ++length) {
    for (std::size_t offset = 0; offset < 16; ++offset) {
      const std::uint32_t start = offset % 2 == 0 ? 0 : gen();
      ASSERT_EQ(fast(data.data() + offset, length, start), LoaderCrcReference(data.data() + offset, length, start))
          << "length " << length << " offset " << offset;
    }
  }
  EXPECT_EQ(fast(data.data() + 3, 4096, 0), LoaderCrcReference(data.data() + 3, 4096, 0));
}

INSTANTIATE_TEST_SUITE_P(Methods, FastCrc, ::testing::Values(&LoaderCrcSlice8, &LoaderCrcClmul, &LoaderCrc),
                         [](const auto& info) {
                           return std::string(info.index == 0 ? "Slice8" : info.index == 1 ? "Clmul" : "Chosen");
                         });

}  // namespace
}  // namespace tw
