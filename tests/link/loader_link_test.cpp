#include "link/loader_link.h"

#include <gtest/gtest.h>

#include <numeric>

#include "link/serial_backend.h"
#include "link/chunk_sink.h"
#include "support/fake_serial_backend.h"
#include "support/scripted_pc.h"

namespace tw {
namespace {

using test::Bytes;
using test::FakeLine;
using test::ScriptedPc;

// A loader link on a scripted device.
class ScriptedLink : public CLoaderLink {
 public:
  std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();

 protected:
  std::unique_ptr<SerialBackend> MakeBackend() override { return std::make_unique<test::FakeSerialBackend>(line); }
};

// Nothing comes back on this line.
class QuietSink : public ChunkSink {
  void PostReceivedData(std::size_t) override {}
  void PostLineLost() override {}
  void ShowPortMessage(const std::string&) override {}
};

class LoaderLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link.SetDeviceOverride(1, "fake");
    ASSERT_TRUE(link.Connect(ComPort{}, kFastestSpeed, &sink));
  }

  QuietSink sink;
  ScriptedLink link;
};

TEST(RequestAddress, TakesTheLastEightCharactersOrForEepromTheLastFourAfterThePrefix) {
  struct Case {
    Mode mode;
    const char* start;
    std::uint32_t address;
  };
  for (const Case& c :
       {Case{Mode::Sdram, "0x80001234", 0x80001234}, Case{Mode::Flash, "0x123456789", 0x23456789},
        Case{Mode::Program, "0x12", 0x12}, Case{Mode::Eeprom, "1234", 0x1234}, Case{Mode::Eeprom, "0x12", 0x12},
        Case{Mode::Eeprom, "0x00012345", 0x2345}, Case{Mode::Database, "0x00400000", kDatabaseAddress}}) {
    EXPECT_EQ(RequestAddress(c.mode, c.start), c.address) << c.start;
  }
  for (const auto& [text, value] : {std::pair{"", 0x0u}, std::pair{"A", 0xAu}, std::pair{"0X7fe0", 0x7FE0u},
                                    std::pair{"1234567", 0x1234567u}, std::pair{"ffffffff", 0xFFFFFFFFu}}) {
    EXPECT_EQ(ParseHexText(text), value) << text;
  }
}

// The sessions' tests check the frames of short transfers; this one crosses the counter's wrap.
TEST_F(LoaderLinkTest, BlocksAreNumberedAsThePcNumbersThemAcrossTheWrap) {
  Bytes data(kBlockSize * 257);
  std::iota(data.begin(), data.end(), 0);
  ScriptedPc pc;
  std::vector<Bytes> expected;
  for (std::size_t offset = 0; offset < data.size(); offset += kBlockSize) {
    const auto remaining = static_cast<std::uint32_t>(data.size() - offset);
    const std::span block(data.data() + offset, kBlockSize);
    const bool first = offset == 0;
    EXPECT_EQ(link.SendDataBlock(block.data(), remaining, first ? BlockKind::First : BlockKind::Next), remaining);
    expected.push_back(first ? pc.FirstBlock(block) : pc.NextBlock(block));
  }
  EXPECT_EQ(link.line->Writes(), expected);
  link.line->ClearWrites();
  link.SendHandshake();
  EXPECT_EQ(link.line->AllWritten(), (Bytes{0x0A, 'c', 'o', 'm', '_', 'p', 'c'})) << "never the closing line feed";
}

}  // namespace
}  // namespace tw
