#include "boxsim/box_endpoint.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace tw {

bool BoxEndpoint::WriteAll(int fd, const std::uint8_t* data, std::size_t size, const StopSignal& stop, bool socket) {
  while (size > 0) {
    const ssize_t written = socket ? send(fd, data, size, MSG_NOSIGNAL) : write(fd, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    }
    pollfd fds[2] = {{fd, POLLOUT, 0}, {stop.Handle(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) {
      return false;
    }
    if (fds[1].revents != 0) {
      return false;
    }
  }
  return true;
}

bool BoxEndpoint::WaitFd(int fd, const StopSignal& stop) {
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop.Handle(), POLLIN, 0}};
    if (poll(fds, 2, -1) >= 0) {
      return fds[1].revents == 0;
    }
    if (errno != EINTR) {
      return false;
    }
  }
}

long BoxEndpoint::ReadSome(int fd, std::uint8_t* buffer, std::size_t size) {
  const ssize_t got = read(fd, buffer, size);
  if (got >= 0) {
    return static_cast<long>(got);
  }
  return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

}  // namespace tw
