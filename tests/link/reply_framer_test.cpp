#include "link/reply_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Reply(std::uint8_t code, std::uint8_t parameter = 0) { return {0x47, parameter, code, 0, 0, 0, 0, 0}; }

class ReplyFramerTest : public ::testing::Test {
 protected:
  // `silence`: how long the line was quiet before these bytes.
  void Append(const Bytes& bytes, std::chrono::milliseconds silence = 0ms) {
    framer.Append(bytes.data(), bytes.size(), silence);
  }
  std::uint8_t NextCode() { return framer.NextFrame(frame) ? frame.Code() : 0; }

  ReplyFramer framer;
  ReplyFrame frame;
};

// A reply split in two, then two replies joined with the start of a third.
TEST_F(ReplyFramerTest, SplitAndJoinedRepliesAreEachHandledOnceWhenComplete) {
  const auto split = Reply(rpl::kBlockOk, 9);
  Append({split.begin(), split.begin() + 3});
  EXPECT_FALSE(framer.NextFrame(frame));
  Append({split.begin() + 3, split.end()}, 10ms);
  EXPECT_EQ(NextCode(), rpl::kBlockOk);
  EXPECT_EQ(frame.Parameter(), 9);
  EXPECT_FALSE(framer.NextFrame(frame));

  auto joined = Reply(rpl::kFlashWriting, 1);
  const auto second = Reply(rpl::kComplete);
  joined.insert(joined.end(), second.begin(), second.end());
  joined.push_back(0x47);
  Append(joined);
  EXPECT_EQ(NextCode(), rpl::kFlashWriting);
  EXPECT_EQ(NextCode(), rpl::kComplete);
  EXPECT_FALSE(framer.NextFrame(frame));
  EXPECT_EQ(framer.Buffered(), 1u);
  framer.Clear();
  EXPECT_EQ(framer.Buffered(), 0u);
}

TEST_F(ReplyFramerTest, BytesBehindUploadDataAreTakenAsDataInOrder) {
  auto bytes = Reply(rpl::kUploadData);
  for (std::uint8_t b = 1; b <= 20; ++b) {
    bytes.push_back(b);
  }
  Append(bytes);
  ASSERT_EQ(NextCode(), rpl::kUploadData);
  Bytes data(32);
  EXPECT_EQ(framer.TakeData(data.data(), 5), 5u);
  EXPECT_EQ(framer.TakeData(data.data() + 5, data.size() - 5), 15u);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 20), Bytes(bytes.begin() + 8, bytes.end()));
  EXPECT_EQ(framer.Buffered(), 0u);
}

// 200 ms of silence make what came before stale; 199 ms do not.
TEST_F(ReplyFramerTest, APartialFrameIsKeptWithinTheSilenceLimitAndDroppedAtIt) {
  const auto reply = Reply(rpl::kSpeedAck);
  Append({reply.begin(), reply.begin() + 5});
  Append({reply.begin() + 5, reply.end()}, 199ms);
  EXPECT_EQ(NextCode(), rpl::kSpeedAck);

  Append({0xFF, 0xFF, 0xFF});  // noise
  Append(Reply(rpl::kHello), 200ms);
  EXPECT_EQ(NextCode(), rpl::kHello);
  EXPECT_EQ(framer.Buffered(), 0u);
}

}  // namespace
}  // namespace tw
