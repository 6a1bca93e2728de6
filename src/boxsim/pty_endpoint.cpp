#include "boxsim/pty_endpoint.h"

#include <fcntl.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tw {

namespace {

void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) == 0) {
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
  }
}

}  // namespace

PtyEndpoint::PtyEndpoint() {
  if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") + std::strerror(errno));
  }
  std::array<char, 128> name{};
  if (ptsname_r(m_master, name.data(), name.size()) != 0) {
    close(m_master);
    close(m_slave);
    throw std::runtime_error("cannot name the pseudo-terminal");
  }
  m_path = name.data();
  MakeRaw(m_slave);
  MakeRaw(m_master);
  fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
  fcntl(m_master, F_SETFD, FD_CLOEXEC);
  fcntl(m_slave, F_SETFD, FD_CLOEXEC);
}

PtyEndpoint::~PtyEndpoint() {
  close(m_slave);
  close(m_master);
}

long PtyEndpoint::Read(std::uint8_t* buffer, std::size_t size) { return ReadSome(m_master, buffer, size); }

bool PtyEndpoint::Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  return WriteAll(m_master, data, size, stop, false);
}

}  // namespace tw
