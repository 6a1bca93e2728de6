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
  m_wait = fds[0];
  m_write = fds[1];
}

StopSignal::~StopSignal() {
  close(m_wait);
  close(m_write);
}

void StopSignal::Raise() const {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(m_write, &byte, 1);
}

bool StopSignal::Raised() const {
  pollfd fd{m_wait, POLLIN, 0};
  return poll(&fd, 1, 0) > 0;
}

// Nanosecond waits: a millisecond rounding per byte slice would cost a paced line percents of its speed.
bool StopSignal::Sleep(std::chrono::steady_clock::duration duration) const {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return !Raised();
    }
    const timespec wait{static_cast<time_t>(left.count() / 1'000'000'000),
                        static_cast<long>(left.count() % 1'000'000'000)};
    pollfd fd{m_wait, POLLIN, 0};
    if (ppoll(&fd, 1, &wait, nullptr) > 0) {
      return false;
    }
  }
}

}  // namespace tw
