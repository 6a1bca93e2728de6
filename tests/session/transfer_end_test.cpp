// How transfers end: each path ends once, with the right result, and nothing more goes out after it.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "session/session_texts.h"
#include "session_fixture.h"

namespace tw::test {
namespace {

using namespace std::chrono_literals;

class TransferEnd : public SessionTest {
 protected:
  std::string GzipFile(std::size_t size) {
    Bytes image = Pattern(size);
    image[0] = 0x1F;
    return WriteFile("image.gz", image);
  }

  // A file of `size` bytes that takes no room: only its first bytes are written.
  std::string SparseFile(const std::string& name, std::uint64_t size, const Bytes& head) {
    const std::string path = WriteFile(name, head);
    std::filesystem::resize_file(path, size);
    return path;
  }

  [[nodiscard]] std::size_t DataBlocksWritten() {
    std::size_t blocks = 0;
    for (const Bytes& write : TakeWrites()) {
      blocks += write.size() >= kHeaderSize && write[2] == cmd::kDataBlock ? 1 : 0;
    }
    return blocks;
  }
};

TEST_F(TransferEnd, ASlowOperatorNeverLosesAReplySplitAroundHisMessageBox) {
  host.openAnswer = GzipFile(3000);
  StartAndRequest();
  Reply(rpl::kSendData);
  link.line->ClearWrites();
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
  host.openAnswer = GzipFile(3000);
  StartAndRequest();
  Reply(rpl::kSendData);
  link.line->ClearWrites();
  const Bytes resend = Frame(rpl::kBlockResend);
  Box(Bytes(resend.begin(), resend.begin() + 3));
  link.line->RunReaderLate(300ms);  // longer than a partial reply may wait on a quiet line
  Box(Bytes(resend.begin() + 3, resend.end()));
  EXPECT_EQ(DataBlocksWritten(), 1u) << "the resend request was lost";
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
  const std::string image = GzipFile(5000);
  host.openAnswer = image;
  StartAndRequest();
  Reply(rpl::kSendData);
  host.openAnswer.reset();
  EXPECT_FALSE(session->OnStart());
  host.openAnswer = WriteFile("bad.gz", Bytes{0x00, 0x01});
  EXPECT_FALSE(session->OnStart());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Invalid File"}));
  EXPECT_TRUE(session->Running());
  link.line->ClearWrites();
  Reply(rpl::kBlockOk);
  const std::vector<Bytes> writes = TakeWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0][1], 1) << "the second block of the running image";
  const Bytes source = Pattern(5000);
  EXPECT_EQ(Bytes(writes[0].begin() + kHeaderSize, writes[0].end()),
            Bytes(source.begin() + 1024, source.begin() + 2048));
}

TEST_F(TransferEnd, ASourceThatShrinksEndsTheTransferWithNothingPadded) {
  const std::string image = GzipFile(3000);
  host.openAnswer = image;
  StartAndRequest();
  Reply(rpl::kSendData);
  link.line->ClearWrites();
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
  host.openAnswer = GzipFile(3000);
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kBlockFailed);
  EXPECT_EQ(host.outcome, false);
  link.line->ClearWrites();
  Reply(rpl::kSendData);
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockResend);
  Reply(rpl::kGetRequest);
  EXPECT_TRUE(TakeWrites().empty());
}

TEST_F(TransferEnd, CompleteIsSuccessOnlyAfterEveryBlockOfADownload) {
  host.openAnswer = GzipFile(1500);
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kBlockOk);
  Reply(rpl::kComplete);  // right after the last block: it acknowledges it
  EXPECT_EQ(host.outcome, true);

  host.outcome.reset();
  host.messages.clear();
  host.mode = Mode::Boot;
  host.openAnswer = WriteFile("boot.bin", Pattern(kBootSize));
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kComplete);
  EXPECT_EQ(host.outcome, false);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Download Complete!!!", text::Incomplete(1024, kBootSize)}));

  host.outcome.reset();
  host.messages.clear();
  host.mode = Mode::Sdram;
  host.download = false;
  host.start = "0x00400000";
  host.size = "2048";
  StartAndRequest();
  Reply(rpl::kUploadData);
  Box(Pattern(1024));
  Reply(rpl::kComplete);
  EXPECT_EQ(host.outcome, false);
  EXPECT_TRUE(host.uploadShown.empty());
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
