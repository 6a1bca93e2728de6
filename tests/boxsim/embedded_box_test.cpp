// The box in its own thread, over a real TCP connection and a terminal device.

#include "boxsim/embedded_box.h"

#include <arpa/inet.h>
#include <pty.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "boxsim/box_runner.h"
#include "boxsim/device_endpoint.h"
#include "boxsim/loader_fixture.h"
#include "boxsim/tcp_endpoint.h"
#include "support/pty_pair.h"

namespace tw::test {
namespace {

constexpr std::chrono::milliseconds kLimit{10000};  // a guard against a hang, never a timing check

// The PC's end: a descriptor it writes frames to and reads the box's bytes from.
class PcEnd {
 public:
  explicit PcEnd(int fd) : m_fd(fd) {}
  ~PcEnd() {
    if (m_fd >= 0) {
      close(m_fd);
    }
  }
  PcEnd(const PcEnd&) = delete;
  PcEnd& operator=(const PcEnd&) = delete;

  static PcEnd ConnectTcp(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      close(fd);
      return PcEnd(-1);
    }
    return PcEnd(fd);
  }

  [[nodiscard]] bool Valid() const { return m_fd >= 0; }
  void Send(const Bytes& bytes) { ASSERT_TRUE(WriteToFd(m_fd, bytes.data(), bytes.size())); }
  Bytes Receive(std::size_t count) { return ReadFromFd(m_fd, count, kLimit); }
  BoxReply Reply() {
    const Bytes frame = Receive(kReplySize);
    return frame.size() == kReplySize ? BoxReply{frame[2], frame[1]} : BoxReply{};
  }

 private:
  int m_fd;
};

// Up to the speed confirm; where RPL_GET_REQUEST is read depends on whether the PC reopens its end.
void Negotiate(PcEnd& pc, std::uint8_t speedIndex) {
  pc.Send(ScriptedPc::Handshake());
  EXPECT_EQ(pc.Reply(), (BoxReply{rpl::kHello, 0}));
  pc.Send(ScriptedPc::SetSpeed(speedIndex));
  EXPECT_EQ(pc.Reply(), (BoxReply{rpl::kSpeedAck, 0}));
  pc.Send(ScriptedPc::SpeedConfirm());
}

BoxOptions FastOptions() {
  BoxOptions options;
  options.paced = false;
  options.settle = std::chrono::milliseconds(0);
  options.flashReportEvery = 0;
  return options;
}

TEST(EmbeddedBox, ExposesItsDiskAndMemoryAndRemovesItsTemporaryDisk) {
  std::filesystem::path disk;
  {
    EmbeddedBox box(FastOptions());
    disk = box.DiskDir();
    EXPECT_TRUE(std::filesystem::is_directory(disk / "mp3"));
    EXPECT_TRUE(box.WriteMemory(Mode::Eeprom, 0x10, Bytes{1, 2, 3}));
    EXPECT_FALSE(box.WriteMemory(Mode::Eeprom, 0x3FFF, Bytes{1, 2}));
    EXPECT_FALSE(box.WriteMemory(Mode::Mp3, 0, Bytes{1}));
    EXPECT_EQ(box.ReadMemory(Mode::Eeprom, 0x0F, 5), (Bytes{0xFF, 1, 2, 3, 0xFF}));
    EXPECT_TRUE(box.ReadMemory(Mode::Eeprom, 0x4000, 1).empty());
    EXPECT_EQ(box.FinishedTransfers(), 0u);
  }
  EXPECT_FALSE(std::filesystem::exists(disk));
}

TEST(TcpBox, ConversationSurvivesThePcReconnectingAtTheSpeedChange) {
  StopSignal stop;
  TcpEndpoint endpoint("127.0.0.1", 0);
  BoxOptions options = FastOptions();
  options.settle = std::chrono::milliseconds(200);  // the box's own wait for the PC to reconnect
  BoxRunner runner(options, endpoint, stop);
  std::thread thread([&runner] { runner.Run(); });
  const std::string name = endpoint.Name();
  ASSERT_EQ(name.rfind("tcp:127.0.0.1:", 0), 0u) << name;
  const auto port = static_cast<std::uint16_t>(std::stoi(name.substr(name.rfind(':') + 1)));

  {
    PcEnd pc = PcEnd::ConnectTcp(port);
    ASSERT_TRUE(pc.Valid());
    Negotiate(pc, 4);
  }
  PcEnd pc = PcEnd::ConnectTcp(port);
  ASSERT_TRUE(pc.Valid());
  EXPECT_EQ(pc.Reply(), (BoxReply{rpl::kGetRequest, 0}));
  pc.Send(ScriptedPc::Request(false, Mode::Eeprom, 0, 100));
  EXPECT_EQ(pc.Reply(), (BoxReply{rpl::kUploadData, 0}));
  EXPECT_EQ(pc.Receive(100), Bytes(100, 0xFF));
  pc.Send(ScriptedPc::UploadAck());
  EXPECT_TRUE(runner.WaitForTransfers(1, kLimit));

  stop.Raise();
  thread.join();
}

TEST(DeviceBox, SerialDeviceIsDrivenAtTheNegotiatedSpeed) {
  // A pty slave is a real terminal device: the box works it as it would a USB serial adapter.
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const std::string path = ttyname(slave);
  StopSignal stop;
  {
    DeviceEndpoint endpoint(path, 115200);
    BoxOptions options = FastOptions();
    options.paced = true;  // the line paces a device, the box must not
    BoxRunner runner(options, endpoint, stop);
    std::thread thread([&runner] { runner.Run(); });
    PcEnd pc(master);
    Negotiate(pc, 2);
    EXPECT_EQ(pc.Reply(), (BoxReply{rpl::kGetRequest, 0}));
    termios settings{};
    ASSERT_EQ(tcgetattr(slave, &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B38400));
    stop.Raise();
    thread.join();
  }
  close(slave);
  EXPECT_THROW(DeviceEndpoint("/nonexistent/tty", 115200), std::runtime_error);
}

}  // namespace
}  // namespace tw::test
