#pragma once
// A stop request that the box's waits can watch: on POSIX a pipe whose read end turns readable for good
// once raised, on Windows a manual-reset event. Raise is safe in a signal or console-control handler.

#include <chrono>

namespace tw {

class StopSignal {
 public:
#ifdef _WIN32
  using Native = void*;  // the event's HANDLE
#else
  using Native = int;  // the pipe's read end
#endif

  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void Raise() const;
  [[nodiscard]] bool Raised() const;
  // What a wait on several objects includes to be woken by the stop.
  [[nodiscard]] Native Handle() const { return m_wait; }
  // Waits for the time to pass; true when it passed, false when the stop came first.
  [[nodiscard]] bool Sleep(std::chrono::steady_clock::duration duration) const;

 private:
  Native m_wait{};
#ifndef _WIN32
  int m_write = -1;
#endif
};

}  // namespace tw
