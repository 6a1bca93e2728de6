#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace tw {

struct CliEvent {
  enum class Kind { ReceivedData, LineLost, FileDone, Interrupt };
  Kind kind = Kind::ReceivedData;
  std::size_t length = 0;
};

// The console's message queue: the reader thread and the signal thread post, the main thread waits.
class EventQueue {
 public:
  using Clock = std::chrono::steady_clock;

  void Push(const CliEvent& event);
  // The next event, or nothing once `deadline` has passed.
  std::optional<CliEvent> PopUntil(Clock::time_point deadline);

 private:
  std::mutex m_mutex;
  std::condition_variable m_ready;
  std::deque<CliEvent> m_events;
};

}  // namespace tw
