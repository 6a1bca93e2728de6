#include "boxsim/device_endpoint.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace tw {

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 5> kBaudCodes{
    {{9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}}};

}  // namespace

DeviceEndpoint::DeviceEndpoint(std::string path, std::uint32_t baud) : m_path(std::move(path)) {
  m_fd = open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) {
    throw std::runtime_error("cannot open " + m_path + ": " + std::strerror(errno));
  }
  if (!Configure(baud)) {
    const std::string reason = std::strerror(errno);
    close(m_fd);
    throw std::runtime_error("cannot set up " + m_path + ": " + reason);
  }
  tcflush(m_fd, TCIOFLUSH);
}

DeviceEndpoint::~DeviceEndpoint() { close(m_fd); }

bool DeviceEndpoint::Configure(std::uint32_t baud) {
  speed_t code = B115200;
  for (const auto& [rate, value] : kBaudCodes) {
    code = rate == baud ? value : code;
  }
  termios settings{};
  if (tcgetattr(m_fd, &settings) != 0) {
    return false;
  }
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  cfsetispeed(&settings, code);
  cfsetospeed(&settings, code);
  // Bytes still queued for the old speed must leave before the UART changes.
  return tcsetattr(m_fd, TCSADRAIN, &settings) == 0;
}

bool DeviceEndpoint::WaitReadable(const StopSignal& stop) { return WaitFd(m_fd, stop); }

long DeviceEndpoint::Read(std::uint8_t* buffer, std::size_t size) { return ReadSome(m_fd, buffer, size); }

bool DeviceEndpoint::Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  return WriteAll(m_fd, data, size, stop, false);
}

void DeviceEndpoint::SetBaud(std::uint32_t baud) { [[maybe_unused]] const bool ok = Configure(baud); }

}  // namespace tw
