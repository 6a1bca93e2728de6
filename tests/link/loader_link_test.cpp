#include "link/loader_link.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <numeric>

#include "link/loader_crc.h"
#include "link/serial_backend.h"
#include "recording_sink.h"
#include "support/fake_serial_backend.h"

namespace tw {
namespace {

using test::FakeLine;
using test::RecordingSink;
using Bytes = std::vector<std::uint8_t>;

// A loader link on a scripted device.
class ScriptedLink : public CLoaderLink {
 public:
  std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();

 protected:
  std::unique_ptr<SerialBackend> MakeBackend() override { return std::make_unique<test::FakeSerialBackend>(line); }
};

class LoaderLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link.SetDeviceOverride(1, "fake");
    ASSERT_TRUE(link.Connect(ComPort{}, kFastestSpeed, &sink));
  }

  RecordingSink sink;
  ScriptedLink link;
};

TEST_F(LoaderLinkTest, FlashRequestGoesOutByteForByteInTwoWrites) {
  const char model[] = "TW-9000";
  std::memcpy(link.ModelNameField().data(), model, sizeof model - 1);
  link.SetTransferSize(1024);
  link.SendRequest(Mode::Flash, true, 0x7FE00000);

  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 2u);
  ASSERT_EQ(writes[0].size(), kHeaderSize);
  const Bytes& payload = writes[1];
  ASSERT_EQ(payload.size(), kRequestPayloadSize);
  Bytes expected(kRequestPayloadSize, 0);
  std::memcpy(expected.data(), model, sizeof model - 1);
  const Bytes tail{0x7F, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04};
  std::copy(tail.begin(), tail.end(), expected.begin() + kRequestAddressOffset);
  EXPECT_EQ(payload, expected);

  Bytes header{0x47, 0x00, cmd::kDownloadRequest, 0, 0, 0, 0, 0x00};
  PutBigEndian32(header.data() + 3, LoaderCrcReference(expected.data(), expected.size()));
  EXPECT_EQ(writes[0], header);
}

TEST_F(LoaderLinkTest, UploadRequestCarriesAddressAndTarget) {
  link.SendRequest(Mode::Sdram, false, 0x80001234);
  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0][2], cmd::kUploadRequest);
  EXPECT_EQ(GetBigEndian32(writes[1].data() + kRequestAddressOffset), 0x80001234u);
  EXPECT_EQ(writes[1][kRequestTargetOffset], 3);
}

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
}

TEST(HexText, ReadsPrefixedShortAndFullTexts) {
  EXPECT_EQ(ParseHexText(""), 0u);
  EXPECT_EQ(ParseHexText("A"), 0xAu);
  EXPECT_EQ(ParseHexText("0x1f"), 0x1Fu);
  EXPECT_EQ(ParseHexText("0X7fe0"), 0x7FE0u);
  EXPECT_EQ(ParseHexText("1234567"), 0x1234567u);
  EXPECT_EQ(ParseHexText("7FE00000"), 0x7FE00000u);
  EXPECT_EQ(ParseHexText("ffffffff"), 0xFFFFFFFFu);
}

TEST_F(LoaderLinkTest, NewBlocksCountModulo255WithZeroTwiceAtTheWrap) {
  Bytes data(kBlockSize * 300);
  std::iota(data.begin(), data.end(), 0);
  Bytes numbers;
  std::uint32_t remaining = static_cast<std::uint32_t>(data.size());
  for (int i = 0; i < 257; ++i) {
    const std::uint8_t* block = data.data() + (data.size() - remaining);
    EXPECT_EQ(link.SendDataBlock(block, remaining, i == 0 ? BlockKind::First : BlockKind::Next), remaining);
    remaining -= kBlockSize;
  }
  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 257u);
  for (const auto& w : writes) {
    ASSERT_EQ(w.size(), kHeaderSize + kBlockSize);  // one write per block
    numbers.push_back(w[1]);
  }
  Bytes expected(255);
  std::iota(expected.begin(), expected.end(), 0);
  expected.push_back(0);
  expected.push_back(0);
  EXPECT_EQ(numbers, expected);
}

TEST_F(LoaderLinkTest, BlockCarriesCrcOfItsBytesAndTheLastOneIsShort) {
  const Bytes data{1, 2, 3, 4, 5};
  link.SendDataBlock(data.data(), static_cast<std::uint32_t>(data.size()), BlockKind::First);
  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 1u);
  Bytes expected{0x47, 0, cmd::kDataBlock, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5};
  PutBigEndian32(expected.data() + 3, LoaderCrcReference(data.data(), data.size()));
  EXPECT_EQ(writes[0], expected);
}

TEST_F(LoaderLinkTest, ResendCarriesTheNumberOfTheNextNewBlock) {
  const Bytes data(kBlockSize);
  link.SendDataBlock(data.data(), kBlockSize, BlockKind::First);
  for (int i = 1; i <= 5; ++i) {
    link.SendDataBlock(data.data(), kBlockSize, BlockKind::Next);
  }
  link.SendDataBlock(data.data(), kBlockSize, BlockKind::Resend);
  link.SendDataBlock(data.data(), kBlockSize, BlockKind::Next);
  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 8u);
  EXPECT_EQ(writes[5][1], 5);
  EXPECT_EQ(writes[6][1], 6);
  EXPECT_EQ(writes[7][1], 6);
  EXPECT_EQ(link.SequenceCounter(), 7);
}

TEST_F(LoaderLinkTest, ShortFramesGoOutAsSpecifiedBytes) {
  link.SendHandshake();
  link.SendSpeed(kFastestSpeed);
  link.SendSpeedConfirm();
  link.SendUploadAck();
  const auto writes = link.line->Writes();
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(writes[0], (Bytes{0x0A, 'c', 'o', 'm', '_', 'p', 'c'}));  // never the closing line feed
  EXPECT_EQ(writes[1], (Bytes{0x47, 0, cmd::kSetSpeed, 0, 0, 0, 0, 4}));
  EXPECT_EQ(writes[2], (Bytes{0x47, 0, cmd::kSpeedConfirm, 0, 0, 0, 0, 0}));
  EXPECT_EQ(writes[3], (Bytes{0x47, 0, cmd::kUploadAck, 0, 0, 0, 0, 0}));
}

TEST_F(LoaderLinkTest, ConnectOpensThePortsDeviceAtTheSpeedsBaudRate) {
  EXPECT_EQ(link.line->Settings().baud, 115200u);
  EXPECT_EQ(link.line->Settings().byteSize, 8);
  link.SetDeviceOverride(5, "fake5");
  ASSERT_TRUE(link.Reconnect(ComPort{5}, LineSpeed::Baud9600));
  EXPECT_EQ(link.BaudRate(), 9600u);
  EXPECT_EQ(link.line->Device(), "fake5");
}

TEST_F(LoaderLinkTest, LineThatCannotBeConfiguredFailsWithOneMessage) {
  link.line->FailConfigure();
  const int threads = test::ThreadCount();
  EXPECT_FALSE(link.Reconnect(ComPort{}, kFastestSpeed));
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(sink.messages, std::vector<std::string>{"Can't Open Comm Port 1 !"});
  EXPECT_TRUE(test::ThreadCountSettlesAt(threads - 1));  // the first reader is gone, none started
}

TEST_F(LoaderLinkTest, HangUpIsReportedOnceAndClearsConnected) {
  link.line->HangUp();
  const auto event = sink.Next();
  ASSERT_TRUE(event.has_value());
  EXPECT_EQ(event->kind, test::SinkEvent::Kind::LineLost);
  EXPECT_FALSE(link.IsConnected());
  link.Close();
  EXPECT_EQ(sink.LinesLost(), 1);
}

}  // namespace
}  // namespace tw
