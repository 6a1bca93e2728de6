#include "link/reply_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Reply(std::uint8_t code, std::uint8_t parameter = 0) {
  return {0x47, parameter, code, 0, 0, 0, 0, 0};
}

class ReplyFramerTest : public ::testing::Test {
 protected:
  // `silence`: how long the line was quiet before these bytes.
  void Append(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds silence) {
    framer.Append(bytes.data(), bytes.size(), silence);
  }

  ReplyFramer framer;
  ReplyFrame frame;
};

TEST_F(ReplyFramerTest, SplitReplyIsHandledOnceWhenComplete) {
  const auto reply = Reply(rpl::kBlockOk, 9);
  Append({reply.begin(), reply.begin() + 3}, 0ms);
  EXPECT_FALSE(framer.NextFrame(frame));
  Append({reply.begin() + 3, reply.end()}, 10ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kBlockOk);
  EXPECT_EQ(frame.Parameter(), 9);
  EXPECT_FALSE(framer.NextFrame(frame));
  EXPECT_EQ(framer.Buffered(), 0u);
}

TEST_F(ReplyFramerTest, JoinedRepliesAreAllHandledInOrder) {
  auto bytes = Reply(rpl::kFlashWriting, 1);
  const auto second = Reply(rpl::kComplete);
  bytes.insert(bytes.end(), second.begin(), second.end());
  bytes.push_back(0x47);  // the start of a third
  Append(bytes, 0ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kFlashWriting);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kComplete);
  EXPECT_FALSE(framer.NextFrame(frame));
  EXPECT_EQ(framer.Buffered(), 1u);
}

TEST_F(ReplyFramerTest, BytesBehindUploadDataAreTakenAsDataInOrder) {
  auto bytes = Reply(rpl::kUploadData);
  for (std::uint8_t b = 1; b <= 20; ++b) {
    bytes.push_back(b);
  }
  Append(bytes, 0ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  ASSERT_EQ(frame.Code(), rpl::kUploadData);
  std::vector<std::uint8_t> data(32);
  EXPECT_EQ(framer.TakeData(data.data(), 5), 5u);
  EXPECT_EQ(framer.TakeData(data.data() + 5, data.size() - 5), 15u);
  for (std::uint8_t b = 1; b <= 20; ++b) {
    EXPECT_EQ(data[b - 1], b);
  }
  EXPECT_EQ(framer.Buffered(), 0u);
}

// 200 ms of silence make what came before stale; 199 ms do not.
TEST_F(ReplyFramerTest, APartialFrameIsKeptWithinTheSilenceLimitAndDroppedAtIt) {
  const auto reply = Reply(rpl::kSpeedAck);
  Append({reply.begin(), reply.begin() + 5}, 0ms);
  Append({reply.begin() + 5, reply.end()}, 199ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kSpeedAck);

  Append({0xFF, 0xFF, 0xFF}, 0ms);  // noise
  Append(Reply(rpl::kHello), 200ms);
  ASSERT_TRUE(framer.NextFrame(frame));
  EXPECT_EQ(frame.Code(), rpl::kHello);
  EXPECT_EQ(framer.Buffered(), 0u);
}

TEST_F(ReplyFramerTest, ClearForgetsEverything) {
  Append(Reply(rpl::kHello), 0ms);
  framer.Clear();
  EXPECT_FALSE(framer.NextFrame(frame));
  EXPECT_EQ(framer.Buffered(), 0u);
}

}  // namespace
}  // namespace tw
