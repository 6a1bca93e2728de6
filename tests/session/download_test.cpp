#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "session/session_texts.h"
#include "session_fixture.h"
#include "support/scripted_pc.h"

namespace tw::test {
namespace {

using Download = SessionTest;

TEST_F(Download, GzipProgramRunsTheWholeConversationWithResendsAndARestart) {
  host.openAnswer = GzipFile(2500);
  const Bytes image = GzipImage(2500);
  EXPECT_EQ(Joined(StartAndRequest()),
            ScriptedPc::Request(true, Mode::GzipProgram, 0, 2500, "QUORIX_MODEL_NAME_MAGIC_STRING"));

  ScriptedPc pc;
  std::vector<Bytes> expected{pc.FirstBlock(Slice(image, 0, 1024)), pc.ResendBlock(Slice(image, 0, 1024)),
                              pc.NextBlock(Slice(image, 1024, 1024)), pc.FirstBlock(Slice(image, 0, 1024))};
  Reply(rpl::kSendData);
  Reply(rpl::kFlashWriting, 7);
  Reply(rpl::kBlockResend);
  Reply(rpl::kBlockOk);
  Reply(rpl::kUploadData);  // not a download's reply: ignored
  Reply(rpl::kSendData);    // starts over
  EXPECT_EQ(TakeWrites(), expected);
  EXPECT_EQ(host.captions, (std::vector<std::string>{"Flash Writing 7 th Block"}));

  expected = {pc.NextBlock(Slice(image, 1024, 1024)), pc.NextBlock(Slice(image, 2048, 452)),
              pc.ResendBlock(Slice(image, 2048, 452))};
  Reply(rpl::kBlockOk);
  Reply(rpl::kBlockOk);
  EXPECT_EQ(host.progress.back(), 100);
  Reply(rpl::kBlockResend);  // the last block, after the file was closed
  Reply(rpl::kBlockOk);      // nothing more to send
  EXPECT_EQ(TakeWrites(), expected);
  Reply(rpl::kComplete);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Download Complete!!!"}));
  EXPECT_EQ(host.outcome, true);
}

TEST_F(Download, ProgramHeadersAreSkippedTheModelNameStaysAndLongDatabasesAreCut) {
  Bytes image = Pattern(1100);
  image[0] = 0x01;
  host.openAnswer = WriteFile("program.bin", image);
  std::vector<Bytes> request;
  for (const Mode mode : {Mode::GzipProgram, Mode::Program}) {
    host.mode = mode;
    request = StartAndRequest();
    EXPECT_TRUE(std::equal(request[1].begin(), request[1].begin() + 30, image.begin() + 1));
  }
  EXPECT_EQ(Announced(request, kRequestSizeOffset), 1036u);
  Reply(rpl::kSendData);
  ScriptedPc pc;
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{pc.FirstBlock(Slice(image, kProgramHeaderSize, 1024))}));

  host.mode = Mode::Database;
  host.openAnswer = WriteFile("long.db", Pattern(kDatabaseSize + 10));
  EXPECT_EQ(Announced(StartAndRequest(), kRequestSizeOffset), kDatabaseSize);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Download, RefusedFilesSayWhyAndSendNothing) {
  struct Case {
    Mode mode;
    std::optional<Bytes> content;  // nothing: the file does not exist
    std::string message;
  };
  const std::string missing = (m_temp.Path() / "missing.gz").string();
  const Case cases[] = {
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

TEST_F(Download, ViewerBlocksAreResentNotSkippedAndAnEmptyViewerSendsOneEmptyBlock) {
  host.mode = Mode::Sdram;
  host.start = "0x00400000";
  host.viewer = Pattern(1300);
  EXPECT_EQ(Announced(StartAndRequest(), kRequestAddressOffset), 0x00400000u);
  Reply(rpl::kSendData);
  Reply(rpl::kBlockResend);
  Reply(rpl::kBlockOk);
  const Bytes first = ScriptedPc::ViewerBlock(Slice(host.viewer, 0, 1024));
  const Bytes second = ScriptedPc::ViewerBlock(Slice(host.viewer, 1024, 276));
  EXPECT_EQ(Joined(TakeWrites()), Joined({first, first, second}));

  host.viewer.clear();
  StartAndRequest();
  Reply(rpl::kSendData);
  EXPECT_EQ(TakeWrites(), (std::vector<Bytes>{ScriptedPc::ViewerBlock({})}));
}

TEST_F(Download, ErrorRepliesShowTheirTextAndEndOnlyWhenFatal) {
  struct Case {
    std::uint8_t code;
    const char* text;
    bool ends;
  };
  constexpr std::array cases{
      Case{rpl::kCommError, "There was a problem to communicate with STB !!!\n\nPlease Retry.", true},
      Case{rpl::kBadHeader, "Header is wrong !!!\n\nPlease retry with another S/W.", true},
      Case{rpl::kCommProblem, "There was a problem to communicate with STB\nPlease Retry.", true},
      Case{rpl::kInvalidSw, "Invalid S/W !!!\n\nPlease retry with another S/W.", true},
      Case{rpl::kHeaderCrcError, "HEADER CRC ERROR", false},
      Case{rpl::kPhotoError, "Photo Error. Full or Max Photo Exceeded", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.messages.clear();
    host.outcome.reset();
    Reply(c.code);
    EXPECT_EQ(host.messages, (std::vector<std::string>{c.text}));
    EXPECT_EQ(host.outcome.has_value(), c.ends);
  }
  host.messages.clear();
  host.outcome.reset();
  session->OnTimer(kWatchdogTimerId);
  EXPECT_EQ(host.messages, (std::vector<std::string>{std::string(text::kWatchdog)}));
  EXPECT_FALSE(host.outcome.has_value());
}

}  // namespace
}  // namespace tw::test
