#include "boxsim/box_loader.h"

#include <gtest/gtest.h>

#include "boxsim/box_memory.h"
#include "boxsim/loader_fixture.h"
#include "link/loader_crc.h"

namespace tw::test {
namespace {

using ms = std::chrono::milliseconds;

class BoxLoaderTest : public LoaderFixture {};

// Noise before the handshake, a stray 0x47 before a header, frames out of turn, and everything fed a
// byte at a time.
TEST_F(BoxLoaderTest, NegotiationFindsItsFramesAmongGarbageAndIgnoresThemOutOfTurn) {
  m_loader = std::make_unique<BoxLoader>(BoxOptions{}, m_line);  // default settle kept
  EXPECT_TRUE(Send(ScriptedPc::SetSpeed(4)).empty()) << "no handshake yet";
  Bytes stream{'x', 0x47, 0x0A, 'c', 'o', 'm', 0x00};
  for (const Bytes& part : {ScriptedPc::Handshake(), Bytes{0x00, 0x47, 0x00, 0x99}, ScriptedPc::SpeedConfirm(),
                            ScriptedPc::UploadAck(), ScriptedPc::SetSpeed(9), ScriptedPc::SetSpeed(1)}) {
    stream.insert(stream.end(), part.begin(), part.end());
  }
  std::vector<BoxReply> replies;
  for (std::uint8_t byte : stream) {
    const auto got = Send(Bytes{byte});
    replies.insert(replies.end(), got.begin(), got.end());
  }
  EXPECT_EQ(replies, Codes({rpl::kHello, rpl::kCommError, rpl::kSpeedAck}));
  EXPECT_TRUE(m_line.bauds.empty()) << "the speed changes only on the confirm";
  EXPECT_EQ(Send(ScriptedPc::SpeedConfirm()), Codes({rpl::kGetRequest}));
  EXPECT_EQ(m_line.pauses, std::vector<ms>{ms(100)}) << "the settle pause comes before RPL_GET_REQUEST";
  EXPECT_EQ(m_line.bauds, std::vector<std::uint32_t>{19200});
}

// Viewer blocks all carry sequence 0; only flash targets report writing.
TEST_F(BoxLoaderTest, FlashTargetsReportWritingAtTheIntervalAndCompleteOnlyReplacesTheLastBlockOk) {
  BoxOptions options;
  options.flashReportEvery = 2;
  options.completeOnly = true;
  Start(options);
  EXPECT_EQ(Download(Mode::Database, kDatabaseAddress, Pattern(5 * 1024)),
            (std::vector<BoxReply>{{rpl::kBlockOk, 0},
                                   {rpl::kFlashWriting, 2},
                                   {rpl::kBlockOk, 0},
                                   {rpl::kBlockOk, 0},
                                   {rpl::kFlashWriting, 4},
                                   {rpl::kBlockOk, 0},
                                   {rpl::kComplete, 0}}));
  EXPECT_EQ(Download(Mode::Sdram, 0x00400000, Pattern(2 * 1024 + 300)),
            Codes({rpl::kBlockOk, rpl::kBlockOk, rpl::kComplete}));
  Negotiate();
  ASSERT_EQ(Send(ScriptedPc::Request(true, Mode::Eeprom, 0, 0)), Codes({rpl::kSendData}));
  EXPECT_EQ(Send(ScriptedPc::ViewerBlock({})), Codes({rpl::kComplete}));
}

TEST_F(BoxLoaderTest, CorruptedRequestMayComeAgainAndACorruptedBlockIsResent) {
  BoxOptions options;
  options.flashReportEvery = 0;
  Start(options);
  Negotiate();
  const Bytes image = Pattern(3000);
  const std::span<const std::uint8_t> data(image);
  Bytes request = ScriptedPc::Request(true, Mode::GzipProgram, 0, 3000);
  request[3] ^= 0x01;
  EXPECT_EQ(Send(request), Codes({rpl::kHeaderCrcError}));
  ASSERT_EQ(Send(ScriptedPc::Request(true, Mode::GzipProgram, 0, 3000)), Codes({rpl::kSendData}));
  EXPECT_EQ(Send(m_pc.FirstBlock(data.subspan(0, 1024))), Codes({rpl::kBlockOk}));
  EXPECT_EQ(Send(ScriptedPc::Corrupted(m_pc.NextBlock(data.subspan(1024, 1024)))),
            Codes({rpl::kDataCrcError, rpl::kBlockResend}));
  EXPECT_EQ(Send(m_pc.ResendBlock(data.subspan(1024, 1024))), Codes({rpl::kBlockOk}));
  EXPECT_EQ(Send(m_pc.NextBlock(data.subspan(2048))), Codes({rpl::kBlockOk, rpl::kComplete}));
  Bytes stored(image.size());
  m_loader->Memory().RegionFor(Mode::GzipProgram)->Read(0, stored.data(), stored.size());
  EXPECT_EQ(stored, image);
}

TEST_F(BoxLoaderTest, SequenceNumbersFollowTheCounterAcrossItsWrapAndOutOfStepFail) {
  BoxOptions options;
  options.flashReportEvery = 0;
  Start(options);
  const Bytes image = Pattern(260 * 1024 + 7);
  const auto replies = Download(Mode::Program, 0, image);
  ASSERT_FALSE(replies.empty());
  EXPECT_EQ(replies.back(), (BoxReply{rpl::kComplete, 0}));
  EXPECT_EQ(std::count(replies.begin(), replies.end(), BoxReply{rpl::kBlockOk, 0}), 261);

  Negotiate();
  const std::span block(image.data(), 1024);
  ASSERT_EQ(Send(ScriptedPc::Request(true, Mode::Program, 0, 3072)), Codes({rpl::kSendData}));
  ASSERT_EQ(Send(m_pc.FirstBlock(block)), Codes({rpl::kBlockOk}));
  static_cast<void>(m_pc.NextBlock(block));
  EXPECT_EQ(Send(m_pc.NextBlock(block)), Codes({rpl::kBlockFailed}));
}

// The model name counts for program images only; the PC checks only an upload window's end.
TEST_F(BoxLoaderTest, RequestsAreAnsweredByModelNameAndWindow) {
  BoxOptions options;
  options.models = {"STB-ONE", "STB-TWO"};
  Start(options);
  const struct {
    bool download;
    Mode mode;
    std::uint32_t address;
    std::uint32_t size;
    std::string_view model;
    std::uint8_t reply;
  } requests[] = {
      {true, Mode::Program, 0, 100, "STB-THREE", rpl::kInvalidSw},
      {true, Mode::GzipProgram, 0, 100, "STB-TWO", rpl::kSendData},
      {true, Mode::Boot, 0, kBootSize, "anything", rpl::kSendData},
      {true, Mode::Boot, 0, kBootSize - 1, {}, rpl::kBadHeader},
      {true, Mode::Eeprom, 0x3F00, 0x200, {}, rpl::kBadHeader},
      {true, Mode::Flash, 0x7EFFFF00, 512, {}, rpl::kBadHeader},
      {true, Mode::Sdram, 0x01FFFFFF, 2, {}, rpl::kBadHeader},
      {true, Mode::Database, 0xFFFA0000, 0x50801, {}, rpl::kBadHeader},
      {true, Mode::Mp3, 0, 1023, {}, rpl::kBadHeader},
      {false, Mode::Flash, 0x7EFFFF00, 512, {}, rpl::kGetDataNak},
      {false, Mode::Eeprom, 0, 16385, {}, rpl::kGetDataNak},
      {false, Mode::Sdram, 0x02000000, 1, {}, rpl::kGetDataNak},
      {false, Mode::Sdram, 0, 0, {}, rpl::kGetDataNak},
      {false, Mode::Program, 0, 1024, {}, rpl::kGetDataNak},
      {false, Mode::Database, 0xFFFA0400, kDatabaseSize, {}, rpl::kGetDataNak},
  };
  for (const auto& r : requests) {
    Negotiate();
    EXPECT_EQ(Send(ScriptedPc::Request(r.download, r.mode, r.address, r.size, r.model)), Codes({r.reply}))
        << kModeNames[static_cast<std::size_t>(r.mode)] << " " << r.size;
  }
}

TEST_F(BoxLoaderTest, UploadServesTheWindowBlockByBlockWaitingForEachAck) {
  Start();
  const Bytes content = Pattern(1500, 7);
  m_loader->Memory().RegionFor(Mode::Sdram)->Write(0x00400000, content.data(), content.size());
  Negotiate();
  const Bytes request = ScriptedPc::Request(false, Mode::Sdram, 0x00400000, 1500);
  m_loader->Feed(request.data(), request.size());
  ASSERT_EQ(m_line.output.NextReply(), (BoxReply{rpl::kUploadData, 0}));
  EXPECT_EQ(m_line.output.TakeData(2000), Bytes(content.begin(), content.begin() + 1024))
      << "nothing more before the ack";
  const Bytes ack = ScriptedPc::UploadAck();
  m_loader->Feed(ack.data(), ack.size());
  ASSERT_EQ(m_line.output.NextReply(), (BoxReply{rpl::kUploadData, 0}));
  EXPECT_EQ(m_line.output.TakeData(2000), Bytes(content.begin() + 1024, content.end()));
  m_loader->Feed(ack.data(), ack.size());
  EXPECT_EQ(m_line.output.Pending(), 0u);
  EXPECT_EQ(m_loader->FinishedTransfers(), 1u);
}

TEST_F(BoxLoaderTest, TraceDecodesFramesBothWays) {
  std::string all;
  BoxOptions options;
  options.trace = [&all](std::string_view line) { all.append(line).append("\n"); };
  Start(options);
  Negotiate();
  EXPECT_NE(all.find("PC>BOX CMD_SET_SPEED (0x10) seq=0 crc=0x00000000 param=4 (115200 baud)\n"), std::string::npos)
      << all;
  EXPECT_NE(all.find("BOX>PC RPL_GET_REQUEST (0x12) param=0\n"), std::string::npos) << all;
}

}  // namespace
}  // namespace tw::test
