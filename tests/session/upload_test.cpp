#include <gtest/gtest.h>

#include "session_fixture.h"

namespace tw::test {
namespace {

using Upload = SessionTest;

TEST_F(Upload, WindowChecksRefuseBeforeAnythingIsSent) {
  struct Case {
    Mode mode;
    const char* start;
    const char* size;
    const char* message;  // empty: accepted
  };
  const Case cases[] = {
      {Mode::Flash, "0x7FE00000", "1024", ""},
      {Mode::Flash, "0x7EFFFF00", "512", ""},
      {Mode::Flash, "0xFFFFFF00", "512", "FLASH : 0x7F00000 ~ 0x7FFFFFFF"},
      {Mode::Eeprom, "0x0000", "16383", ""},
      {Mode::Eeprom, "0x0000", "16384", "E2PROM : 0x00000000 ~ 0x00003FFFF"},
      {Mode::Eeprom, "0x12340100", "16", ""},  // the last four digits: 0x0100
      {Mode::Eeprom, "0x12345678", "16", "E2PROM : 0x00000000 ~ 0x00003FFFF"},
      {Mode::Sdram, "0x0", "0", "Size : 1 ~ 2097152"},
      {Mode::Sdram, "0x0", "2097153", "Size : 1 ~ 2097152"},
      {Mode::Sdram, "0x0", "12x", "Size : 1 ~ 2097152"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + c.size);
    host.mode = c.mode;
    host.download = false;
    host.start = c.start;
    host.size = c.size;
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

TEST_F(Upload, OnlyMemoryAndDatabaseUploadAndAnUnstartedOneLeavesRepliesReadable) {
  host.mode = Mode::Boot;
  host.download = false;
  EXPECT_FALSE(session->OnStart());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Upload is not available in this mode!"}));
  host.mode = Mode::Database;  // the save dialog cancelled
  EXPECT_FALSE(session->OnStart());
  EXPECT_TRUE(TakeWrites().empty());
  Reply(rpl::kUploadData);
  Reply(rpl::kHeaderCrcError);
  EXPECT_EQ(host.messages.back(), "HEADER CRC ERROR");
}

}  // namespace
}  // namespace tw::test
