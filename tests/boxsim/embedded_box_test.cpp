// The box in its own thread: the embedded box's own interface, and a terminal device driven at speed.

#include "boxsim/embedded_box.h"

#include <termios.h>

#include <gtest/gtest.h>

#include <thread>

#include "boxsim/box_runner.h"
#include "boxsim/device_endpoint.h"
#include "boxsim/loader_fixture.h"
#include "support/pty_pair.h"

namespace tw::test {
namespace {

constexpr std::chrono::milliseconds kLimit{10000};  // a guard against a hang, never a timing check

BoxOptions FastOptions() {
  BoxOptions options;
  options.paced = false;
  options.settle = std::chrono::milliseconds(0);
  options.flashReportEvery = 0;
  return options;
}

TEST(EmbeddedBox, RefusesMemoryOutsideItsWindowsAndRemovesItsTemporaryDisk) {
  std::filesystem::path disk;
  {
    EmbeddedBox box(FastOptions());
    disk = box.DiskDir();
    EXPECT_TRUE(box.WriteMemory(Mode::Eeprom, 0x10, Bytes{1, 2, 3}));
    EXPECT_FALSE(box.WriteMemory(Mode::Eeprom, 0x3FFF, Bytes{1, 2}));
    EXPECT_FALSE(box.WriteMemory(Mode::Mp3, 0, Bytes{1}));
    EXPECT_EQ(box.ReadMemory(Mode::Eeprom, 0x0F, 5), (Bytes{0xFF, 1, 2, 3, 0xFF}));
    EXPECT_TRUE(box.ReadMemory(Mode::Eeprom, 0x4000, 1).empty());
  }
  EXPECT_FALSE(std::filesystem::exists(disk));
}

TEST(DeviceBox, SerialDeviceIsDrivenAtTheNegotiatedSpeed) {
  // A pty slave is a real terminal device: the box works it as it would a USB serial adapter.
  PtyPair pty;
  ASSERT_TRUE(pty.Valid());
  StopSignal stop;
  DeviceEndpoint endpoint(pty.SlavePath(), 115200);
  BoxOptions options = FastOptions();
  options.paced = true;  // the line paces a device, the box must not
  BoxRunner runner(options, endpoint, stop);
  std::thread thread([&runner] { runner.Run(); });
  for (const auto& [frame, code] :
       {std::pair{ScriptedPc::Handshake(), rpl::kHello}, std::pair{ScriptedPc::SetSpeed(2), rpl::kSpeedAck},
        std::pair{ScriptedPc::SpeedConfirm(), rpl::kGetRequest}}) {
    EXPECT_TRUE(pty.Write(frame));
    BoxOutput output;  // no ASSERT here: the runner's thread must be joined
    const Bytes reply = pty.Read(kReplySize, kLimit);
    output.Append(reply.data(), reply.size());
    EXPECT_EQ(output.NextReply(), (BoxReply{code, 0}));
  }
  termios settings{};
  EXPECT_EQ(tcgetattr(pty.Slave(), &settings), 0);
  EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B38400));
  stop.Raise();
  thread.join();
  EXPECT_THROW(DeviceEndpoint("/nonexistent/tty", 115200), std::runtime_error);
}

}  // namespace
}  // namespace tw::test
