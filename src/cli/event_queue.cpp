#include "cli/event_queue.h"

namespace tw {

void EventQueue::Push(const CliEvent& event) {
  {
    const std::lock_guard lock(m_mutex);
    m_events.push_back(event);
  }
  m_ready.notify_one();
}

std::optional<CliEvent> EventQueue::PopUntil(Clock::time_point deadline) {
  std::unique_lock lock(m_mutex);
  if (!m_ready.wait_until(lock, deadline, [this] { return !m_events.empty(); })) {
    return std::nullopt;
  }
  const CliEvent event = m_events.front();
  m_events.pop_front();
  return event;
}

}  // namespace tw
