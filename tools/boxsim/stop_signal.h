#pragma once
// A stop request that a poll() can wait on: a pipe whose read end turns readable for good once raised.
// Raise is safe in a signal handler.

#include <chrono>

namespace tw {

class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void Raise() const;
  [[nodiscard]] bool Raised() const;
  [[nodiscard]] int Fd() const { return m_read; }
  // Waits for the time to pass; true when it passed, false when the stop came first.
  [[nodiscard]] bool Sleep(std::chrono::steady_clock::duration duration) const;

 private:
  int m_read = -1;
  int m_write = -1;
};

}  // namespace tw
