#include <windows.h>

#include <stdexcept>

#include "boxsim/stop_signal.h"

namespace tw {

StopSignal::StopSignal() : m_wait(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (m_wait == nullptr) {
    throw std::runtime_error("cannot create the stop event");
  }
}

StopSignal::~StopSignal() { CloseHandle(m_wait); }

void StopSignal::Raise() const { SetEvent(m_wait); }

bool StopSignal::Raised() const { return WaitForSingleObject(m_wait, 0) == WAIT_OBJECT_0; }

// Windows waits in whole milliseconds: rounding up keeps a paced line from running ahead of the wire.
bool StopSignal::Sleep(std::chrono::steady_clock::duration duration) const {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return !Raised();
    }
    if (WaitForSingleObject(m_wait, static_cast<DWORD>(left.count())) == WAIT_OBJECT_0) {
      return false;
    }
  }
}

}  // namespace tw
