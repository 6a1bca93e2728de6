// A randomized property over whole transfers: random images and windows, random chunking of the box's
// replies, random box faults and, now and then, an operator slow to close a message box. Every byte the
// box accepts is the source's byte at that offset; success is reported exactly when the box acknowledged
// every block; every run ends with a result.
#include <gtest/gtest.h>

#include <random>

#include "link/loader_crc.h"
#include "session_fixture.h"

namespace tw::test {
namespace {

using namespace std::chrono_literals;

enum class Kind { FileDownload, ViewerDownload, MemoryUpload };

// The box's side, just enough of it: reads what the PC wrote, decides at random, queues its replies.
class RandomBox {
 public:
  RandomBox(std::mt19937& random, const Bytes& data) : m_random(random), m_data(data) {}

  // Consumes the PC's bytes; once the box has given up it reads no more.
  void Read(const Bytes& written) {
    m_in.insert(m_in.end(), written.begin(), written.end());
    while (m_alive && Step()) {
    }
  }

  Bytes TakeOutput(std::size_t max) { return TakeFront(m_out, std::min(max, m_out.size())); }
  [[nodiscard]] bool HasOutput() const { return !m_out.empty(); }
  [[nodiscard]] bool AcknowledgedAll() const { return m_acknowledgedAll; }
  [[nodiscard]] bool WantsHangUp() const { return m_hangUp; }

 private:
  bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(m_random) < percent; }

  void Say(std::uint8_t code, std::uint8_t parameter = 0) {
    const Bytes frame = Frame(code, parameter);
    m_out.insert(m_out.end(), frame.begin(), frame.end());
  }

  // A box that stops here: it says so (or hangs up) and says nothing more. RPL_COMPLETE right after the
  // last block would acknowledge it, so it is only said earlier.
  void GiveUp(bool lastBlock = false) {
    const int how = std::uniform_int_distribution<int>(0, 2)(m_random);
    m_hangUp = how == 2 || (how == 1 && lastBlock);
    if (!m_hangUp) {
      Say(how == 0 ? rpl::kBlockFailed : rpl::kComplete);  // RPL_COMPLETE at an odd time
    }
    m_alive = false;
  }

  bool Step() {
    const std::size_t size = m_greeted ? FrameSize() : kHandshake.size();
    if (size == 0 || m_in.size() < size) {
      return false;
    }
    const Bytes frame = TakeFront(m_in, size);
    if (m_greeted) {
      OnCommand(frame);
    } else {
      Say(rpl::kHello);
    }
    m_greeted = true;
    return true;
  }

  // 0 until the header is in.
  [[nodiscard]] std::size_t FrameSize() const {
    if (m_in.size() < kHeaderSize) {
      return 0;
    }
    const std::uint8_t code = m_in[2];
    const bool request = code == cmd::kDownloadRequest || code == cmd::kUploadRequest;
    return kHeaderSize + (code == cmd::kDataBlock ? BlockLength() : request ? kRequestPayloadSize : 0);
  }

  static Bytes TakeFront(Bytes& bytes, std::size_t count) {
    Bytes front(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    return front;
  }

  [[nodiscard]] std::size_t BlockLength() const { return std::min<std::size_t>(m_data.size() - m_done, kBlockSize); }

  void OnCommand(const Bytes& frame) {
    switch (frame[2]) {
      case cmd::kSetSpeed:
        Say(rpl::kSpeedAck);
        break;
      case cmd::kSpeedConfirm:
        Say(rpl::kGetRequest);
        break;
      case cmd::kDownloadRequest:
        EXPECT_EQ(GetBigEndian32(frame.data() + kHeaderSize + kRequestSizeOffset), m_data.size());
        Say(rpl::kSendData);
        break;
      case cmd::kUploadRequest:
        SendUploadBlock();
        break;
      case cmd::kDataBlock:
        OnBlock(frame);
        break;
      case cmd::kUploadAck:
        m_acknowledgedAll = m_done == m_data.size();
        if (!m_acknowledgedAll) {
          Chance(5) ? GiveUp() : SendUploadBlock();
        }
        break;
      default:
        ADD_FAILURE() << "unexpected command " << int(frame[2]);
    }
  }

  void OnBlock(const Bytes& frame) {
    const Bytes payload(frame.begin() + kHeaderSize, frame.end());
    ASSERT_EQ(GetBigEndian32(frame.data() + 3), LoaderCrcReference(payload.data(), payload.size()));
    if (Chance(4)) {
      GiveUp(m_done + payload.size() == m_data.size());
      return;
    }
    if (Chance(12)) {  // the line garbled it
      if (Chance(50)) {
        Say(rpl::kDataCrcError);
      }
      Say(rpl::kBlockResend);
      return;
    }
    // Accepted: it must be the source's bytes at this offset.
    ASSERT_TRUE(std::equal(payload.begin(), payload.end(), m_data.begin() + static_cast<std::ptrdiff_t>(m_done)))
        << "at offset " << m_done;
    m_done += payload.size();
    if (Chance(10)) {
      Say(rpl::kFlashWriting, static_cast<std::uint8_t>(m_done / kBlockSize));
    }
    if (m_done < m_data.size()) {
      Say(rpl::kBlockOk);
      return;
    }
    if (Chance(50)) {
      Say(rpl::kBlockOk);
    }
    Say(rpl::kComplete);
    m_acknowledgedAll = true;
    m_alive = false;
  }

  void SendUploadBlock() {
    Say(rpl::kUploadData);
    const std::size_t n = BlockLength();
    m_out.insert(m_out.end(), m_data.begin() + static_cast<std::ptrdiff_t>(m_done),
                 m_data.begin() + static_cast<std::ptrdiff_t>(m_done + n));
    m_done += n;
  }

  std::mt19937& m_random;
  const Bytes& m_data;
  Bytes m_in;
  Bytes m_out;
  std::size_t m_done = 0;
  bool m_greeted = false;
  bool m_alive = true;
  bool m_hangUp = false;
  bool m_acknowledgedAll = false;
};

class RandomTransfer : public SessionTest {
 protected:
  void Run(std::mt19937& random, Kind kind) {
    const std::size_t size = std::uniform_int_distribution<std::size_t>(1, 4500)(random);
    Bytes data = Pattern(size, static_cast<std::uint8_t>(random()));
    host.download = kind != Kind::MemoryUpload;
    host.start = "0x00400000";
    if (kind == Kind::FileDownload) {
      data[0] = 0x1F;
      host.mode = Mode::GzipProgram;
      host.openAnswer = WriteFile("image.gz", data);
    } else {
      host.mode = Mode::Sdram;
      host.viewer = data;
      host.size = std::to_string(size);
    }
    host.messageDelay = std::uniform_int_distribution<int>(0, 30)(random) == 0 ? 250ms : 0ms;
    host.outcome.reset();
    host.uploadShown.clear();

    RandomBox box(random, data);
    ASSERT_TRUE(session->OnStart());
    box.Read(TakeAll());
    while (box.HasOutput()) {
      BoxSends({box.TakeOutput(std::uniform_int_distribution<std::size_t>(1, 20)(random))});
      box.Read(TakeAll());
    }
    if (box.WantsHangUp()) {
      link.line->HangUp();
      HandleNext();
    }
    ASSERT_TRUE(host.outcome.has_value()) << "the transfer ended without a result";
    EXPECT_EQ(*host.outcome, box.AcknowledgedAll());
    EXPECT_FALSE(session->Running());
    if (kind == Kind::MemoryUpload && *host.outcome) {
      EXPECT_EQ(host.uploadShown, data);
    }
  }

  Bytes TakeAll() { return Joined(TakeWrites()); }
};

TEST_F(RandomTransfer, EveryAcceptedByteIsTheSourcesAndSuccessMeansEveryBlockAcknowledged) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 30 && !HasFailure(); ++round) {
    for (const Kind kind : {Kind::FileDownload, Kind::ViewerDownload, Kind::MemoryUpload}) {
      SCOPED_TRACE("round " + std::to_string(round) + " kind " + std::to_string(static_cast<int>(kind)));
      Run(random, kind);
      if (!link.IsConnected()) {
        link.line = std::make_shared<FakeLine>();
        ASSERT_TRUE(link.Connect(ComPort{}, kFastestSpeed, &host));
      }
    }
  }
}

}  // namespace
}  // namespace tw::test
