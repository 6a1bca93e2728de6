#include "link/reply_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Split and joined replies and data behind them are the random transfers' daily fare; this is the
// silence rule: 200 ms of silence make what came before stale, 199 ms do not.
TEST(ReplyFramer, APartialFrameIsKeptWithinTheSilenceLimitAndDroppedAtIt) {
  ReplyFramer framer;
  ReplyFrame frame;
  const auto append = [&](const Bytes& bytes, std::chrono::milliseconds silence) {
    framer.Append(bytes.data(), bytes.size(), silence);
  };
  const Bytes ack{0x47, 0, rpl::kSpeedAck, 0, 0, 0, 0, 0};
  append({ack.begin(), ack.begin() + 5}, 0ms);
  append({ack.begin() + 5, ack.end()}, 199ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kSpeedAck);

  append({0xFF, 0x47, 0xFF}, 0ms);
  append({0x47, 3, rpl::kHello, 0, 0, 0, 0, 0}, 200ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kHello);
  EXPECT_EQ(framer.Buffered(), 0u);
}

}  // namespace
}  // namespace tw
