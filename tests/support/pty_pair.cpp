#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace tw::test {

namespace {

void MakeRaw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
  }
}

bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int r = 0;
  do {
    r = ::poll(&p, 1, timeoutMs);
  } while (r < 0 && errno == EINTR);
  return r > 0 && (p.revents & events) != 0;
}

void CloseFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

PtyPair::PtyPair() {
  std::array<char, 128> name{};
  if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0) {
    m_master = m_slave = -1;
    return;
  }
  m_slavePath = name.data();
  MakeRaw(m_slave);
  MakeRaw(m_master);
  ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
  ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
  ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair() {
  CloseMaster();
  CloseSlave();
}

bool PtyPair::Write(const std::uint8_t* data, std::size_t count) {
  constexpr int kWriteWaitMs = 5000;
  while (count > 0) {
    const ssize_t n = ::write(m_master, data, count);
    if (n > 0) {
      data += n;
      count -= static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      if (!WaitFor(m_master, POLLOUT, kWriteWaitMs)) {
        return false;
      }
    } else if (!(n < 0 && errno == EINTR)) {
      return false;
    }
  }
  return true;
}

bool PtyPair::Write(std::string_view text) {
  return Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::vector<std::uint8_t> PtyPair::Read(std::size_t count, std::chrono::milliseconds idle) {
  std::vector<std::uint8_t> bytes;
  std::array<std::uint8_t, 4096> buffer{};
  while (bytes.size() < count && WaitFor(m_master, POLLIN, static_cast<int>(idle.count()))) {
    const std::size_t want = std::min(buffer.size(), count - bytes.size());
    const ssize_t n = ::read(m_master, buffer.data(), want);
    if (n <= 0) {
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        continue;
      }
      break;
    }
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
  }
  return bytes;
}

void PtyPair::CloseMaster() { CloseFd(m_master); }

void PtyPair::CloseSlave() { CloseFd(m_slave); }

}  // namespace tw::test
