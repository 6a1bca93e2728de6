// How transfers end: each path ends once, with the right result, and nothing more goes out after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "session/session_texts.h"
#include "session_fixture.h"
#include "support/scripted_pc.h"

namespace tw::test {
namespace {

using namespace std::chrono_literals;

class TransferEnd : public SessionTest {
 protected:
  // A file of `size` bytes that takes no room: only its first bytes are written.
  std::string SparseFile(const std::string& name, std::uint64_t size, const Bytes& head) {
    std::string path = WriteFile(name, head);
    std::filesystem::resize_file(path, size);
    return path;
  }

  [[nodiscard]] std::size_t DataBlocksWritten() {
    const std::vector<Bytes> writes = TakeWrites();
    return static_cast<std::size_t>(
        std::count_if(writes.begin(), writes.end(), [](const Bytes& w) { return w[2] == cmd::kDataBlock; }));
  }
};

TEST_F(TransferEnd, ASlowOperatorNeverLosesAReplySplitAroundHisMessageBox) {
  Sending(3000);
  host.messageDelay = 300ms;  // longer than a partial reply may wait on a quiet line
  Bytes first = Frame(rpl::kDataCrcError);
  const Bytes resend = Frame(rpl::kBlockResend);
  first.insert(first.end(), resend.begin(), resend.begin() + 3);
  BoxSends({first, Bytes(resend.begin() + 3, resend.end())});
  EXPECT_EQ(host.messages, (std::vector<std::string>{"DATA CRC ERROR"}));
  EXPECT_EQ(DataBlocksWritten(), 1u) << "the resend request was lost";

  host.messageDelay = 0ms;
  Reply(rpl::kBlockOk);  // the framing is not shifted
  EXPECT_EQ(DataBlocksWritten(), 1u);
}

TEST_F(TransferEnd, AReaderRunLateByABusyMachineNeverLosesASplitReply) {
  Sending(3000);
  const Bytes resend = Frame(rpl::kBlockResend);
  Box(Bytes(resend.begin(), resend.begin() + 3));
  link.line->RunReaderLate(300ms);  // longer than a partial reply may wait on a quiet line
  Box(Bytes(resend.begin() + 3, resend.end()));
  EXPECT_EQ(DataBlocksWritten(), 1u) << "the resend request was lost";
}

TEST_F(TransferEnd, NoiseFollowedByAQuietLineIsDroppedAndTheNextReplyCounts) {
  host.openAnswer = GzipFile(3000);
  StartAndRequest();
  Reply(rpl::kSendData);
  link.line->ClearWrites();
  Box({0xFF, 0xFF, 0xFF});
  link.line->AwaitQuietSpell();
  Reply(rpl::kBlockResend);
  EXPECT_EQ(DataBlocksWritten(), 1u) << "the noise shifted the reply";
}

TEST_F(TransferEnd, StartWhileABatchWaitsSendsNothingMoreOfItsFile) {
  host.mode = Mode::Mp3;
  host.selected.push_back({WriteFile("song.mp3", Pattern(5000)), "song.mp3", false});
  bool secondStartReturned = true;
  host.whileBatchWaits = [&] {
    Reply(rpl::kHello);
    Reply(rpl::kSpeedAck);
    Reply(rpl::kGetRequest);
    Reply(rpl::kSendData);
    secondStartReturned = session->OnStart();
    return host.fileDoneCancelled ? FileDoneWait::Cancelled : FileDoneWait::Closing;
  };
  EXPECT_TRUE(session->OnStart());
  EXPECT_FALSE(secondStartReturned);
  EXPECT_FALSE(session->Running());
  EXPECT_EQ(session->Transfer().EndReason(), tw::TransferEnd::Cancelled);
  link.line->ClearWrites();
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockResend);
  EXPECT_EQ(DataBlocksWritten(), 0u);
  EXPECT_EQ(host.selected.size(), 1u);
}

TEST_F(TransferEnd, ASecondStartThatIsCancelledOrRefusedLeavesTheRunningTransferAlone) {
  Sending(5000);
  host.openAnswer.reset();
  EXPECT_FALSE(session->OnStart());
  host.openAnswer = WriteFile("bad.gz", Bytes{0x00, 0x01});
  EXPECT_FALSE(session->OnStart());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Invalid File"}));
  EXPECT_TRUE(session->Running());
  Reply(rpl::kBlockOk);
  ScriptedPc pc;
  static_cast<void>(pc.FirstBlock({}));  // the block already sent
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{pc.NextBlock(Slice(GzipImage(5000), 1024, 1024))}));
}

TEST_F(TransferEnd, ASourceThatShrinksEndsTheTransferWithNothingPadded) {
  const std::string image = Sending(3000);
  std::filesystem::resize_file(image, 1500);
  Reply(rpl::kBlockOk);
  EXPECT_EQ(DataBlocksWritten(), 0u);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Can't read " + image + " !!!"}));
  EXPECT_EQ(host.outcome, false);
  EXPECT_EQ(session->Transfer().EndReason(), tw::TransferEnd::Failed);
  Reply(rpl::kComplete);
  EXPECT_EQ(host.messages.size(), 1u) << "an ended transfer cannot complete";
}

TEST_F(TransferEnd, SourcesTooLargeForTheRequestAreRefusedBeforeTheHandshake) {
  constexpr std::uint64_t kFourGiB = 0x100000000ULL;
  const std::string image = SparseFile("huge.gz", kFourGiB + 1024, {0x1F, 0x8B});
  host.openAnswer = image;
  EXPECT_FALSE(session->OnStart());
  const std::string mp3 = SparseFile("huge.mp3", kFourGiB - 512, {0xFF});
  host.mode = Mode::Mp3;
  host.selected.push_back({mp3, "huge.mp3", false});
  EXPECT_FALSE(session->OnStart());
  EXPECT_EQ(host.messages, (std::vector<std::string>{text::TooLarge(image), text::TooLarge(mp3)}));
  EXPECT_TRUE(TakeWrites().empty());
  EXPECT_EQ(host.outcome, false);
}

TEST_F(TransferEnd, NothingIsSentAfterTheBoxReportsTheTransferFailed) {
  Sending(3000);
  Reply(rpl::kBlockFailed);
  EXPECT_EQ(host.outcome, false);
  Reply(rpl::kSendData);
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockResend);
  Reply(rpl::kGetRequest);
  EXPECT_TRUE(TakeWrites().empty());
}

TEST_F(TransferEnd, CompleteBeforeTheLastBlockIsNoSuccess) {
  host.mode = Mode::Boot;
  host.openAnswer = WriteFile("boot.bin", Pattern(kBootSize));
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kComplete);
  EXPECT_EQ(host.outcome, false);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Download Complete!!!", text::Incomplete(1024, kBootSize)}));
}

TEST_F(TransferEnd, AReopenThatFailsIsALostLine) {
  host.openAnswer = GzipFile(1500);
  EXPECT_TRUE(session->OnStart());
  Reply(rpl::kHello);
  link.line->FailOpenWith(ENOENT);
  Reply(rpl::kSpeedAck);
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(host.comStatus, false);
  EXPECT_EQ(host.outcome, false);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Can't Open Comm Port 1 !"}));
  EXPECT_FALSE(session->Running());
  EXPECT_EQ(session->Transfer().EndReason(), tw::TransferEnd::LineLost);
}

}  // namespace
}  // namespace tw::test
