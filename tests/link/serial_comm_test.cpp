#include "link/serial_comm.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <numeric>
#include <optional>
#include <thread>

#include "link/loader_link.h"
#include "support/link_events.h"
#include "support/pty_pair.h"

namespace tw {
namespace {

using test::PtyPair;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPort = 1;
constexpr std::uint32_t kBaud = 115200;

// A link owner: notifications are queued for the test's thread, which plays the owner's thread. It
// also notes a chunk posted while the previous one was still unreleased.
class RecordingSink : public ChunkSink {
 public:
  static constexpr std::size_t kLineLost = test::LinkEvents::kLineLost;

  void PostReceivedData(std::size_t length) override {
    if (m_holding.exchange(true)) {
      ++overlaps;
    }
    m_events.Push(length);
  }
  void PostLineLost() override {
    ++linesLost;
    m_events.Push(kLineLost);
  }
  void ShowPortMessage(const std::string&) override {}

  // The next notification, a chunk's length or kLineLost; none within ten seconds means the link is stuck.
  std::optional<std::size_t> Next() { return m_events.Next(); }

  // The next chunk's bytes, read the way the owner reads them.
  std::optional<Bytes> NextChunk(const CSerialComm& link) {
    const auto length = Next();
    if (!length || *length == kLineLost) {
      return std::nullopt;
    }
    return Bytes(link.ReceiveBuffer(), link.ReceiveBuffer() + *length);
  }

  void Release(CSerialComm& link) {
    m_holding = false;
    link.ReleaseChunk();
  }

  std::atomic<int> overlaps{0};
  std::atomic<int> linesLost{0};

 private:
  test::LinkEvents m_events;
  std::atomic<bool> m_holding{false};
};

// Threads of this process: a reader left behind shows here. A sanitizer's runtime adds a thread of its
// own at the first thread start; one started and joined here makes that happen before any counting.
int ThreadCount() {
  static const bool runtimeThreadsStarted = [] {
    std::thread([] {}).join();
    return true;
  }();
  (void)runtimeThreadsStarted;
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/task")) {
    while (const dirent* entry = ::readdir(dir)) {
      count += entry->d_name[0] != '.' ? 1 : 0;
    }
    ::closedir(dir);
  }
  return count;
}

// A joined thread leaves /proc a moment after pthread_join returns, and the kernel offers nothing to
// wait on for that, so look again a bounded number of times.
bool ThreadCountSettlesAt(int expected) {
  for (int look = 0; look < 10000; ++look) {
    if (ThreadCount() == expected) {
      return true;
    }
    std::this_thread::yield();
  }
  return false;
}

class SerialCommTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Valid());
    baseThreads = ThreadCount();
    comm.SetOwner(&sink);
    comm.SetDeviceOverride(kPort, pty.SlavePath());
  }

  bool Open(int dataBits = 8) { return comm.Open(kPort, kBaud, dataBits, StopBits::One, Parity::None); }

  PtyPair pty;
  RecordingSink sink;
  CSerialComm comm;
  int baseThreads = 0;
};

// Close while the reader waits for input wakes it: no thread stays, no lost line is reported. Close
// from inside the chunk handler ends it too.
TEST_F(SerialCommTest, ChunkArrivesWithTerminatingZeroAndIsTracedAndCloseEndsTheReaderWaitingOrHeld) {
  std::vector<std::pair<bool, Bytes>> traced;
  comm.SetTrace([&](bool fromPc, const std::uint8_t* data, std::size_t n) {
    traced.emplace_back(fromPc, Bytes(data, data + n));
  });
  ASSERT_TRUE(Open());
  ASSERT_TRUE(pty.Write("hello"));
  const Bytes hello{'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(sink.NextChunk(comm), hello);
  EXPECT_EQ(comm.ReceiveBuffer()[5], 0);
  sink.Release(comm);

  const Bytes out{1, 2, 3};
  EXPECT_TRUE(comm.Send(out.data(), out.size()));
  EXPECT_EQ(pty.Read(3), out);
  comm.Close();
  EXPECT_TRUE(ThreadCountSettlesAt(baseThreads));
  EXPECT_EQ(sink.linesLost.load(), 0);
  EXPECT_EQ(traced, (std::vector<std::pair<bool, Bytes>>{{false, hello}, {true, out}}));

  ASSERT_TRUE(Open());
  ASSERT_TRUE(pty.Write("x"));
  ASSERT_TRUE(sink.NextChunk(comm).has_value());
  comm.Close();  // the reader waits for this very chunk's release
  EXPECT_FALSE(comm.IsConnected());
  EXPECT_TRUE(ThreadCountSettlesAt(baseThreads));
  sink.Release(comm);  // the handler's last step, now harmless
}

TEST_F(SerialCommTest, QueuedInputOverChunkSizeComesInSeveralChunksEachAfterRelease) {
  ASSERT_TRUE(Open());
  Bytes sent(5000);
  std::iota(sent.begin(), sent.end(), 0);
  ASSERT_TRUE(pty.Write(sent.data(), 1));
  auto chunk = sink.NextChunk(comm);  // held while the rest queues up behind it
  ASSERT_TRUE(chunk.has_value());
  ASSERT_TRUE(pty.Write(sent.data() + 1, sent.size() - 1));
  Bytes received = *chunk;
  while (received.size() < sent.size()) {
    sink.Release(comm);
    chunk = sink.NextChunk(comm);
    ASSERT_TRUE(chunk.has_value());
    EXPECT_LE(chunk->size(), kMaxChunk);
    received.insert(received.end(), chunk->begin(), chunk->end());
  }
  sink.Release(comm);
  EXPECT_EQ(received, sent);
  EXPECT_EQ(sink.overlaps.load(), 0);
}

// The speed change: confirmation, reconnect inside the handler, then the old chunk's release.
TEST_F(SerialCommTest, ReconnectInsideTheHandlerKeepsOneReaderAndLosesNoOutput) {
  LoaderLink link;
  link.SetDeviceOverride(kPort, pty.SlavePath());
  ASSERT_TRUE(link.Connect(ComPort{kPort}, LineSpeed::Baud38400, &sink));
  const Bytes ack{0x47, 0, rpl::kSpeedAck, 0, 0, 0, 0, 0};
  ASSERT_TRUE(pty.Write(ack));
  EXPECT_EQ(sink.NextChunk(link), ack);

  link.SendHandshake();
  link.SendSpeedConfirm();
  ASSERT_TRUE(link.Reconnect(ComPort{kPort}, kFastestSpeed));
  EXPECT_EQ(pty.Read(7), (Bytes{0x0A, 'c', 'o', 'm', '_', 'p', 'c'}));
  EXPECT_EQ(pty.Read(kHeaderSize), (Bytes{0x47, 0, cmd::kSpeedConfirm, 0, 0, 0, 0, 0})) << "no line feed before it";
  EXPECT_EQ(ThreadCount(), baseThreads + 1);

  // The box answers at once; the old chunk is still the owner's until released.
  const Bytes request{0x47, 0, rpl::kGetRequest, 0, 0, 0, 0, 0};
  ASSERT_TRUE(pty.Write(request));
  EXPECT_EQ(Bytes(link.ReceiveBuffer(), link.ReceiveBuffer() + ack.size()), ack);
  sink.Release(link);
  EXPECT_EQ(sink.NextChunk(link), request);
  sink.Release(link);
  EXPECT_EQ(sink.overlaps.load(), 0);
  link.Close();
  EXPECT_TRUE(ThreadCountSettlesAt(baseThreads));
}

TEST_F(SerialCommTest, CloseLetsWrittenBytesDrain) {
  const Bytes confirm{0x47, 0, cmd::kSpeedConfirm, 0, 0, 0, 0, 0};
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(comm.Send(confirm.data(), confirm.size()));
    comm.Close();
    ASSERT_EQ(pty.Read(confirm.size()), confirm) << "round " << round;
  }
}

// The messages and hints of failed opens, a line that cannot be configured among them, are the CLI's to check; here no
// reader stays behind and a port held by another is free again once closed.
TEST_F(SerialCommTest, AFailedOpenLeavesNoThreadAndABusyPortIsFreeOnceClosed) {
  EXPECT_FALSE(Open(9)) << "no line carries nine data bits";
  EXPECT_EQ(comm.LastOpenError().error, EINVAL);
  EXPECT_FALSE(comm.IsConnected());
  EXPECT_EQ(ThreadCount(), baseThreads);
  EXPECT_EQ(comm.DevicePathFor(6), CSerialComm::kDefaultPseudoDevice) << "a port without a device of its own";

  ASSERT_TRUE(Open());
  RecordingSink otherSink;
  CSerialComm other;
  other.SetOwner(&otherSink);
  other.SetDeviceOverride(kPort, pty.SlavePath());
  EXPECT_FALSE(other.Open(kPort, kBaud, 8, StopBits::One, Parity::None));
  comm.Close();
  EXPECT_TRUE(other.Open(kPort, kBaud, 8, StopBits::One, Parity::None));
}

TEST_F(SerialCommTest, HangUpIsReportedOnce) {
  ASSERT_TRUE(Open());
  pty.CloseMaster();
  EXPECT_EQ(sink.Next(), RecordingSink::kLineLost);
  EXPECT_FALSE(comm.IsConnected());
  comm.Close();
  EXPECT_EQ(sink.linesLost.load(), 1);
  EXPECT_TRUE(ThreadCountSettlesAt(baseThreads));
}

// A raw TCP serial server that goes away: the loss is reported and later writes fail quietly.
TEST(SerialCommTcp, AServerThatGoesAwayIsALostLineAndNoSigpipe) {
  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(server, 1), 0);
  ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&addr), &size), 0);

  RecordingSink sink;
  CSerialComm comm;
  comm.SetOwner(&sink);
  comm.SetDeviceOverride(6, "tcp:127.0.0.1:" + std::to_string(ntohs(addr.sin_port)));
  ASSERT_TRUE(comm.Open(6, kBaud, 8, StopBits::One, Parity::None));
  ::close(::accept(server, nullptr, nullptr));
  EXPECT_EQ(sink.Next(), RecordingSink::kLineLost);
  const Bytes hello{0x47, 0, rpl::kHello, 0, 0, 0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    (void)comm.Send(hello.data(), hello.size());
  }
  comm.Close();
  ::close(server);
}

}  // namespace
}  // namespace tw
