#include "boxsim/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

namespace tw {

StopSignal::StopSignal() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::runtime_error("cannot create the stop pipe");
  }
  m_read = fds[0];
  m_write = fds[1];
}

StopSignal::~StopSignal() {
  close(m_read);
  close(m_write);
}

void StopSignal::Raise() const {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(m_write, &byte, 1);
}

bool StopSignal::Raised() const {
  pollfd fd{m_read, POLLIN, 0};
  return poll(&fd, 1, 0) > 0;
}

bool StopSignal::Sleep(std::chrono::steady_clock::duration duration) const {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return !Raised();
    }
    pollfd fd{m_read, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) > 0) {
      return false;
    }
  }
}

}  // namespace tw
