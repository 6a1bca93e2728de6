// A randomized property over whole transfers against the simulated box's loader: random images and
// windows, random box faults, random chunking of its replies and, now and then, an operator slow to close a
// message box or a line that hangs up. Every run ends with a result; success is reported exactly when the
// box finished the transfer, and then the box (or the viewer) holds the source's bytes.
#include <gtest/gtest.h>

#include <random>

#include "boxsim/box_line.h"
#include "boxsim/box_loader.h"
#include "session/session_texts.h"
#include "session_fixture.h"

namespace tw::test {
namespace {

using namespace std::chrono_literals;

enum class Kind { FileDownload, ViewerDownload, MemoryUpload };

// The box's end of the line: what it says waits here until the test hands it to the PC in chunks.
class QueuedLine final : public BoxLine {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override { queued.insert(queued.end(), data, data + size); }
  void Pause(std::chrono::milliseconds) override {}
  void SetBaud(std::uint32_t) override {}

  Bytes TakeUpTo(std::size_t max) {
    const auto n = static_cast<std::ptrdiff_t>(std::min(max, queued.size()));
    Bytes chunk(queued.begin(), queued.begin() + n);
    queued.erase(queued.begin(), queued.begin() + n);
    return chunk;
  }

  Bytes queued;
};

class RandomTransfer : public SessionTest {
 protected:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

  BoxOptions RandomFaults() {
    BoxOptions options;
    options.settle = 0ms;
    options.paced = false;
    options.seed = static_cast<std::uint32_t>(m_random());
    options.completeOnly = Pick(2) == 0;
    options.flashReportEvery = static_cast<unsigned>(Pick(3));
    options.faults.corruptEvery = static_cast<unsigned>(Pick(5));
    if (Pick(5) == 0) {
      options.faults.failAfterBlocks = Pick(5);
    }
    if (Pick(5) == 0) {
      options.faults.nakAfterUploadBlocks = Pick(5);
    }
    if (Pick(6) == 0) {
      options.faults.injections.push_back({static_cast<unsigned>(1 + Pick(5)), rpl::kComplete});  // at an odd time
    }
    return options;
  }

  void Run(Kind kind) {
    constexpr std::uint32_t kAddress = 0x00400000;
    const auto size = 2 + static_cast<std::size_t>(Pick(4500));
    const Bytes data =
        kind == Kind::FileDownload ? GzipImage(size) : Pattern(size, static_cast<std::uint8_t>(Pick(256)));
    const Mode mode = kind == Kind::FileDownload ? Mode::GzipProgram : Mode::Sdram;
    host.mode = mode;
    host.download = kind != Kind::MemoryUpload;
    host.start = "0x00400000";
    host.size = std::to_string(size);
    host.viewer = data;
    host.openAnswer = WriteFile("image.gz", data);
    host.messageDelay = Pick(30) == 0 ? 250ms : 0ms;
    host.outcome.reset();
    host.uploadShown.clear();

    QueuedLine line;
    BoxLoader box(RandomFaults(), line);
    SparseMemory& memory = *box.Memory().RegionFor(mode);
    if (kind == Kind::MemoryUpload) {
      memory.Write(kAddress, data.data(), data.size());
    }
    const auto pcToBox = [&] {
      const Bytes written = Joined(TakeWrites());
      box.Feed(written.data(), written.size());
    };
    ASSERT_TRUE(session->OnStart());
    pcToBox();
    const int hangUpAt = Pick(8) == 0 ? Pick(40) : -1;
    bool hungUp = false;
    for (int chunk = 0; !line.queued.empty() && !hungUp; ++chunk) {
      hungUp = chunk == hangUpAt && !host.outcome;
      if (hungUp) {
        link.line->HangUp();
        HandleNext();
      } else {
        BoxSends({line.TakeUpTo(1 + static_cast<std::size_t>(Pick(20)))});
        pcToBox();
      }
    }
    ASSERT_TRUE(host.outcome.has_value()) << "the transfer ended without a result";
    EXPECT_FALSE(session->Running());
    EXPECT_EQ(*host.outcome, !hungUp && box.FinishedTransfers() == 1);
    m_successes += *host.outcome ? 1 : 0;
    if (hungUp) {
      EXPECT_FALSE(link.IsConnected());
      EXPECT_EQ(host.comStatus, false);
      EXPECT_EQ(host.messages.back(), text::kWatchdog);
      link.line = std::make_shared<FakeLine>();
      ASSERT_TRUE(link.Connect(ComPort{}, kFastestSpeed, &host));
    }
    if (*host.outcome && kind == Kind::MemoryUpload) {
      EXPECT_EQ(host.uploadShown, data);
    } else if (*host.outcome) {
      Bytes stored(size);
      memory.Read(mode == Mode::Sdram ? kAddress : 0, stored.data(), size);
      EXPECT_EQ(stored, data);
    }
  }

  std::mt19937 m_random{20261207};
  int m_successes = 0;
};

TEST_F(RandomTransfer, SuccessMeansTheBoxFinishedAndHoldsTheSourcesBytes) {
  for (int round = 0; round < 30 && !HasFailure(); ++round) {
    for (const Kind kind : {Kind::FileDownload, Kind::ViewerDownload, Kind::MemoryUpload}) {
      SCOPED_TRACE("round " + std::to_string(round) + " kind " + std::to_string(static_cast<int>(kind)));
      Run(kind);
    }
  }
  EXPECT_GT(m_successes, 45) << "a box that refuses every transfer proves nothing";
}

}  // namespace
}  // namespace tw::test
