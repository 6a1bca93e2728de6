#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "session/session_texts.h"
#include "session_fixture.h"

namespace tw::test {
namespace {

using Upload = SessionTest;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t AckCount(const std::vector<Bytes>& writes) {
  const Bytes ack{0x47, 0, cmd::kUploadAck, 0, 0, 0, 0, 0};
  return static_cast<std::size_t>(std::count(writes.begin(), writes.end(), ack));
}

class MemoryUpload : public SessionTest {
 protected:
  void Prepare(Mode mode, std::string start, std::string size) {
    host.mode = mode;
    host.download = false;
    host.start = std::move(start);
    host.size = std::move(size);
  }
};

TEST_F(MemoryUpload, AcksEachBlockAndFillsTheViewerAtTheEnd) {
  Prepare(Mode::Sdram, "0x00400000", "1500");
  const std::vector<Bytes> request = StartAndRequest();
  EXPECT_EQ(request[0][2], cmd::kUploadRequest);
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestSizeOffset), 1500u);
  EXPECT_EQ(host.addressBase, 0x00400000u);

  const Bytes data = Pattern(1500);
  Bytes first = Frame(rpl::kUploadData);  // data right behind the reply, in the same read
  first.insert(first.end(), data.begin(), data.begin() + 600);
  Box(first);
  Box(Bytes(data.begin() + 600, data.begin() + 1024));
  EXPECT_EQ(AckCount(TakeWrites()), 1u);
  Reply(rpl::kUploadData);
  Box(Bytes(data.begin() + 1024, data.end()));
  EXPECT_EQ(AckCount(TakeWrites()), 1u);
  EXPECT_EQ(host.progress, (std::vector<int>{68, 100}));
  EXPECT_EQ(host.uploadShown, data);
  EXPECT_EQ(host.outcome, true);
}

TEST_F(MemoryUpload, WindowChecksRefuseBeforeAnythingIsSent) {
  struct Case {
    Mode mode;
    const char* start;
    const char* size;
    const char* message;  // empty: accepted
  };
  const Case cases[] = {
      {Mode::Flash, "0x7FE00000", "1024", ""},
      {Mode::Flash, "0x7EFFFF00", "512", ""},
      {Mode::Flash, "0x7EFFFF00", "16", "FLASH : 0x7F00000 ~ 0x7FFFFFFF"},
      {Mode::Flash, "0xFFFFFF00", "512", "FLASH : 0x7F00000 ~ 0x7FFFFFFF"},
      {Mode::Eeprom, "0x0000", "16383", ""},
      {Mode::Eeprom, "0x0000", "16384", "E2PROM : 0x00000000 ~ 0x00003FFFF"},
      {Mode::Sdram, "0x0", "0", "Size : 1 ~ 2097152"},
      {Mode::Sdram, "0x0", "2097153", "Size : 1 ~ 2097152"},
      {Mode::Sdram, "0x0", "12x", "Size : 1 ~ 2097152"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + c.size);
    Prepare(c.mode, c.start, c.size);
    host.messages.clear();
    const bool started = session->OnStart();
    const std::vector<Bytes> writes = TakeWrites();
    if (*c.message == '\0') {
      EXPECT_TRUE(started);
      EXPECT_EQ(writes.size(), 1u);
      EXPECT_TRUE(host.messages.empty());
    } else {
      EXPECT_FALSE(started);
      EXPECT_TRUE(writes.empty());
      EXPECT_EQ(host.messages, (std::vector<std::string>{c.message}));
    }
  }
}

TEST_F(MemoryUpload, EepromUsesTheLastFourDigits) {
  Prepare(Mode::Eeprom, "0x12345678", "16");
  EXPECT_FALSE(session->OnStart());  // 0x5678 + 16 lies past the EEPROM
  Prepare(Mode::Eeprom, "0x12340100", "16");
  const std::vector<Bytes> request = StartAndRequest();
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestAddressOffset), 0x0100u);
  EXPECT_EQ(request[1][kRequestTargetOffset], 5);
}

TEST_F(Upload, UploadDataWithNoUploadUnderWayLeavesRepliesReadable) {
  host.mode = Mode::Sdram;
  host.download = false;
  host.size = "0";
  EXPECT_FALSE(session->OnStart());
  Reply(rpl::kUploadData);
  Reply(rpl::kHeaderCrcError);
  EXPECT_EQ(host.messages.back(), "HEADER CRC ERROR");
}

TEST_F(Upload, OtherModesHaveNoUpload) {
  host.mode = Mode::Boot;
  host.download = false;
  EXPECT_FALSE(session->OnStart());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Upload is not available in this mode!"}));
  EXPECT_TRUE(TakeWrites().empty());
}

class DatabaseUpload : public SessionTest {
 protected:
  void SetUp() override {
    host.mode = Mode::Database;
    host.download = false;
    target = (m_dir / "db.bin").string();
    host.saveAnswer = target;
  }
  std::string target;
};

TEST_F(DatabaseUpload, WritesTheWholeDatabaseAndAcksEveryBlock) {
  const std::vector<Bytes> request = StartAndRequest();
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestAddressOffset), kDatabaseAddress);
  EXPECT_EQ(GetBigEndian32(request[1].data() + kRequestSizeOffset), kDatabaseSize);
  const Bytes database = Pattern(kDatabaseSize, 9);
  std::size_t acks = 0;
  for (std::size_t offset = 0; offset < kDatabaseSize; offset += kBlockSize) {
    Reply(rpl::kUploadData);
    Box(Bytes(database.begin() + static_cast<std::ptrdiff_t>(offset),
              database.begin() + static_cast<std::ptrdiff_t>(offset + kBlockSize)));
    acks += AckCount(TakeWrites());
  }
  EXPECT_EQ(acks, 322u);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"End of receiving"}));
  EXPECT_EQ(ReadFile(target), database);
  EXPECT_EQ(host.outcome, true);
}

TEST_F(DatabaseUpload, AnUploadEndingEarlyKeepsTheOldFile) {
  const Bytes old = Pattern(100, 3);
  WriteFile("db.bin", old);
  StartAndRequest();
  Reply(rpl::kUploadData);
  Box(Pattern(kBlockSize));
  Reply(rpl::kGetDataNak);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"GET DATA NAK"}));
  EXPECT_EQ(ReadFile(target), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), std::filesystem::directory_iterator()), 2);
}

TEST_F(DatabaseUpload, CancelledSaveDialogSendsNothing) {
  host.saveAnswer.reset();
  EXPECT_FALSE(session->OnStart());
  EXPECT_TRUE(TakeWrites().empty());
}

}  // namespace
}  // namespace tw::test
