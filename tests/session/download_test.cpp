#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "session/session_texts.h"
#include "session_fixture.h"
#include "support/scripted_pc.h"

namespace tw::test {
namespace {

using Download = SessionTest;

Bytes GzipImage(std::size_t size) {
  Bytes bytes = Pattern(size);
  bytes[0] = 0x1F;
  bytes[1] = 0x8B;
  return bytes;
}

Bytes Block(const Bytes& source, std::size_t offset, std::size_t count) {
  return Bytes(source.begin() + static_cast<std::ptrdiff_t>(offset),
               source.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST_F(Download, GzipProgramRunsTheWholeConversation) {
  const Bytes image = GzipImage(2500);
  host.openAnswer = WriteFile("image.gz", image);
  ASSERT_TRUE(session->OnStart());
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{ScriptedPc::Handshake()}));

  host.speed = LineSpeed::Baud38400;
  Reply(rpl::kHello);
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{ScriptedPc::SetSpeed(2)}));
  Reply(rpl::kSpeedAck);
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{ScriptedPc::SpeedConfirm()}));
  EXPECT_EQ(link.BaudRate(), 38400u);

  Reply(rpl::kGetRequest);
  EXPECT_EQ(link.line->AllWritten(),
            ScriptedPc::Request(true, Mode::GzipProgram, 0, 2500, "QUORIX_MODEL_NAME_MAGIC_STRING"));
  link.line->ClearWrites();

  Reply(rpl::kSendData);
  Reply(rpl::kFlashWriting, 7);
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockOk);
  const std::vector<Bytes> blocks = TakeWrites();
  ASSERT_EQ(blocks.size(), 3u);
  ScriptedPc pc;
  EXPECT_EQ(blocks[0], pc.FirstBlock(Block(image, 0, 1024)));
  EXPECT_EQ(blocks[1], pc.NextBlock(Block(image, 1024, 1024)));
  EXPECT_EQ(blocks[2], pc.NextBlock(Block(image, 2048, 452)));
  EXPECT_EQ(host.progress, (std::vector<int>{0, 40, 81, 100}));
  EXPECT_EQ(host.captions, (std::vector<std::string>{"Flash Writing 7 th Block"}));

  Reply(rpl::kBlockOk);  // after the last block: nothing more to send
  EXPECT_TRUE(TakeWrites().empty());
  Reply(rpl::kComplete);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Download Complete!!!"}));
  EXPECT_EQ(host.outcome, true);
}

TEST_F(Download, ResendRepeatsTheLastBlockExactlyAndARepeatedSendDataStartsOver) {
  const Bytes image = GzipImage(1500);
  host.openAnswer = WriteFile("image.gz", image);
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kBlockResend);
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockResend);  // the last block, after the file was closed
  Reply(rpl::kSendData);
  const std::vector<Bytes> blocks = TakeWrites();
  ASSERT_EQ(blocks.size(), 5u);
  ScriptedPc pc;
  EXPECT_EQ(blocks[0], pc.FirstBlock(Block(image, 0, 1024)));
  EXPECT_EQ(blocks[1], pc.ResendBlock(Block(image, 0, 1024)));  // the counter's current value: 1
  EXPECT_EQ(blocks[2], pc.NextBlock(Block(image, 1024, 476)));
  EXPECT_EQ(blocks[3], pc.ResendBlock(Block(image, 1024, 476)));
  EXPECT_EQ(blocks[4], pc.FirstBlock(Block(image, 0, 1024)));
}

TEST_F(Download, ModelNameOfAGzipLoadStaysForLaterDownloads) {
  Bytes plain = Pattern(200);
  plain[0] = 0x01;
  host.openAnswer = WriteFile("plain.bin", plain);
  const std::vector<Bytes> first = StartAndRequest();
  EXPECT_TRUE(std::equal(first[1].begin(), first[1].begin() + 30, plain.begin() + 1));

  host.mode = Mode::Program;
  const std::vector<Bytes> second = StartAndRequest();
  EXPECT_TRUE(std::equal(second[1].begin(), second[1].begin() + 30, plain.begin() + 1));
}

TEST_F(Download, ProgramModeSendsTheImageBehindItsHeader) {
  host.mode = Mode::Program;
  const Bytes image = Pattern(1100);
  host.openAnswer = WriteFile("program.bin", image);
  const std::vector<Bytes> request = StartAndRequest();
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestSizeOffset), 1036u);
  Reply(rpl::kSendData);
  Reply(rpl::kBlockOk);
  const std::vector<Bytes> blocks = TakeWrites();
  ASSERT_EQ(blocks.size(), 2u);
  ScriptedPc pc;
  EXPECT_EQ(blocks[0], pc.FirstBlock(Block(image, kProgramHeaderSize, 1024)));
  EXPECT_EQ(blocks[1], pc.NextBlock(Block(image, kProgramHeaderSize + 1024, 12)));
}

TEST_F(Download, RefusedFilesSayWhyAndSendNothing) {
  struct Case {
    Mode mode;
    std::optional<Bytes> content;  // nothing: the file does not exist
    std::string message;
  };
  const std::string missing = (m_dir / "missing.gz").string();
  const Case cases[] = {
      {Mode::GzipProgram, Bytes{0x00, 0x8B, 0x08}, "Invalid File"},
      {Mode::GzipProgram, Bytes{}, "Invalid File"},
      {Mode::Program, Pattern(kProgramHeaderSize), "Invalid File"},
      {Mode::Database, Pattern(1000), "Not Database File!"},
      {Mode::Boot, Pattern(1000), "Not Boot File!"},
      {Mode::GzipProgram, std::nullopt, "Can't open " + missing + " !!!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    host.mode = c.mode;
    host.messages.clear();
    host.openAnswer = c.content ? WriteFile("file.bin", *c.content) : missing;
    EXPECT_FALSE(session->OnStart());
    EXPECT_EQ(host.messages, (std::vector<std::string>{c.message}));
    EXPECT_TRUE(TakeWrites().empty());
  }
  host.openAnswer.reset();  // the picker cancelled
  EXPECT_FALSE(session->OnStart());
  EXPECT_TRUE(TakeWrites().empty());
}

TEST_F(Download, LongerDatabaseAndBootImagesAnnounceTheirFixedSize) {
  host.mode = Mode::Database;
  host.openAnswer = WriteFile("long.db", Pattern(kDatabaseSize + 10));
  EXPECT_EQ(GetBigEndian32(StartAndRequest()[1].data() + kRequestSizeOffset), kDatabaseSize);
  EXPECT_TRUE(host.messages.empty());

  host.mode = Mode::Boot;
  host.openAnswer = WriteFile("boot.bin", Pattern(70000));
  EXPECT_EQ(GetBigEndian32(StartAndRequest()[1].data() + kRequestSizeOffset), kBootSize);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Not Boot File!"}));
}

TEST_F(Download, ViewerBlocksAreResentNotSkipped) {
  host.mode = Mode::Sdram;
  host.start = "0x00400000";
  host.viewer = Pattern(1300);
  const std::vector<Bytes> request = StartAndRequest();
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestAddressOffset), 0x00400000u);
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestSizeOffset), 1300u);
  Reply(rpl::kSendData);
  Reply(rpl::kBlockResend);
  Reply(rpl::kBlockOk);
  const std::vector<Bytes> writes = TakeWrites();
  ASSERT_EQ(writes.size(), 6u);  // header and payload go out as two writes
  for (std::size_t i : {0u, 2u}) {
    EXPECT_EQ(writes[i][1], 0);
    EXPECT_EQ(writes[i + 1], Block(host.viewer, 0, 1024));
  }
  EXPECT_EQ(writes[5], Block(host.viewer, 1024, 276));
}

TEST_F(Download, EmptyViewerSendsOneEmptyBlock) {
  host.mode = Mode::Eeprom;
  StartAndRequest();
  Reply(rpl::kSendData);
  const std::vector<Bytes> writes = TakeWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0], (Bytes{0x47, 0, cmd::kDataBlock, 0, 0, 0, 0, 0}));
}

TEST_F(Download, UploadDataDuringADownloadIsIgnored) {
  host.openAnswer = WriteFile("image.gz", GzipImage(3000));
  StartAndRequest();
  Reply(rpl::kSendData);
  Reply(rpl::kUploadData);
  Reply(rpl::kBlockOk);
  EXPECT_EQ(TakeWrites().size(), 2u);
}

struct ErrorReply {
  std::uint8_t code;
  const char* text;
  bool ends;
};

class ErrorReplies : public SessionTest, public ::testing::WithParamInterface<ErrorReply> {};

TEST_P(ErrorReplies, ShowTheirTextAndEndOnlyWhenFatal) {
  Reply(GetParam().code);
  EXPECT_EQ(host.messages, (std::vector<std::string>{GetParam().text}));
  EXPECT_EQ(host.outcome.has_value(), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorReplies,
    ::testing::Values(ErrorReply{rpl::kCommError, "There was a problem to communicate with STB !!!\n\nPlease Retry.",
                                 true},
                      ErrorReply{rpl::kBadHeader, "Header is wrong !!!\n\nPlease retry with another S/W.", true},
                      ErrorReply{rpl::kCommProblem, "There was a problem to communicate with STB\nPlease Retry.", true},
                      ErrorReply{rpl::kInvalidSw, "Invalid S/W !!!\n\nPlease retry with another S/W.", true},
                      ErrorReply{rpl::kBlockFailed, "There was a problem to communicate with STB\nPlease Retry.", true},
                      ErrorReply{rpl::kGetDataNak, "GET DATA NAK", true},
                      ErrorReply{rpl::kHeaderCrcError, "HEADER CRC ERROR", false},
                      ErrorReply{rpl::kDataCrcError, "DATA CRC ERROR", false},
                      ErrorReply{rpl::kNoHddSpace, "Not Enough HDD for MP3", true},
                      ErrorReply{rpl::kPhotoError, "Photo Error. Full or Max Photo Exceeded", true}),
    [](const ::testing::TestParamInfo<ErrorReply>& info) { return std::string(ReplyName(info.param.code)); });

TEST_F(Download, WatchdogReportsAndChangesNothingElse) {
  session->OnTimer(kWatchdogTimerId);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], text::kWatchdog);
  EXPECT_FALSE(host.outcome.has_value());
}

TEST_F(Download, HangUpMarksTheLinkLostAndEndsTheRun) {
  host.openAnswer = WriteFile("image.gz", GzipImage(3000));
  StartAndRequest();
  link.line->HangUp();
  const std::optional<std::size_t> event = host.Next();
  ASSERT_EQ(event, ScriptedHost::kLineLost);
  session->OnLineLost();
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(host.comStatus, false);
  EXPECT_EQ(host.messages.back(), text::kWatchdog);
  EXPECT_EQ(host.outcome, false);
}

}  // namespace
}  // namespace tw::test
