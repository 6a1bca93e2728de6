// Each fault option does what it says, and the same seed plays the same run.

#include <gtest/gtest.h>

#include "boxsim/loader_fixture.h"

namespace tw::test {
namespace {

class BoxFaultsTest : public LoaderFixture {
 protected:
  void StartWith(const BoxFaults& faults) {
    BoxOptions options;
    options.flashReportEvery = 0;
    options.faults = faults;
    Start(options);
  }
};

TEST_F(BoxFaultsTest, SplitRepliesArriveInFragmentsWithGapsAndSameSeedSameCuts) {
  BoxFaults faults;
  faults.splitReplies = true;
  StartWith(faults);
  Negotiate();
  EXPECT_TRUE(std::all_of(m_line.writes.begin(), m_line.writes.end(),
                          [](const Bytes& write) { return write.size() < kReplySize; }));
  EXPECT_EQ(m_line.pauses.size(), m_line.writes.size() - 3) << "a gap between the fragments of each reply";

  const auto cuts = m_line.writes;
  m_line = FakeLine();
  StartWith(faults);
  Negotiate();
  EXPECT_EQ(m_line.writes, cuts);
}

TEST_F(BoxFaultsTest, JoinedRepliesAndUploadDataGoOutAsOneWriteAndACorruptedBlockIsResent) {
  BoxFaults faults;
  faults.joinReplies = true;
  faults.corruptEvery = 1;
  StartWith(faults);
  Negotiate();
  ASSERT_EQ(Send(ScriptedPc::Request(true, Mode::Program, 0, 10)), Codes({rpl::kSendData}));
  const std::size_t before = m_line.writes.size();
  const Bytes data = Pattern(10);
  EXPECT_EQ(Send(m_pc.FirstBlock(data)), Codes({rpl::kDataCrcError, rpl::kBlockResend}));
  EXPECT_EQ(Send(m_pc.ResendBlock(data)), Codes({rpl::kBlockOk, rpl::kComplete}));
  ASSERT_EQ(m_line.writes.size(), before + 2);
  EXPECT_EQ(m_line.writes.back().size(), 2 * kReplySize);
  EXPECT_EQ(Upload(Mode::Eeprom, 0, 100), Bytes(100, 0xFF));
  EXPECT_EQ(m_line.writes.back().size(), kReplySize + 100);
}

TEST_F(BoxFaultsTest, InjectedReplyPrecedesTheAnswerAtItsBlockOnlyInBothDirections) {
  BoxFaults faults;
  faults.injections = {{2, rpl::kCommProblem, 9}, {1, rpl::kFlashWriting, 77}};
  StartWith(faults);
  EXPECT_EQ(Download(Mode::Program, 0, Pattern(3 * 1024)), (std::vector<BoxReply>{{rpl::kFlashWriting, 77},
                                                                                  {rpl::kBlockOk, 0},
                                                                                  {rpl::kCommProblem, 9},
                                                                                  {rpl::kBlockOk, 0},
                                                                                  {rpl::kBlockOk, 0},
                                                                                  {rpl::kComplete, 0}}));
  EXPECT_TRUE(Upload(Mode::Sdram, 0, 2048).empty());
  EXPECT_EQ(m_lastReply, (BoxReply{rpl::kFlashWriting, 77}));
  EXPECT_EQ(m_line.output.NextReply(), (BoxReply{rpl::kUploadData, 0})) << "the upload goes on after it";
}

TEST_F(BoxFaultsTest, AFullPhotoListRefusesPhotosButNotTheBackground) {
  BoxFaults faults;
  faults.photosFull = true;
  StartWith(faults);
  Bytes media = ScriptedPc::MediaRecord("a.jpg", 10, 0, 2);
  media.resize(1034, 0x22);
  EXPECT_EQ(Download(Mode::Photo, 0, media), Codes({rpl::kPhotoError}));
  EXPECT_EQ(Download(Mode::Background, 0, media), Codes({rpl::kBlockOk, rpl::kBlockOk, rpl::kComplete}));
}

}  // namespace
}  // namespace tw::test
