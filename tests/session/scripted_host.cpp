#include "scripted_host.h"

namespace tw::test {

void ScriptedHost::Push(std::size_t length) {
  {
    const std::lock_guard lock(m_mutex);
    m_events.push_back(length);
  }
  m_changed.notify_all();
}

std::optional<std::size_t> ScriptedHost::Next(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  if (!m_changed.wait_for(lock, limit, [this] { return !m_events.empty(); })) {
    return std::nullopt;
  }
  const std::size_t length = m_events.front();
  m_events.pop_front();
  return length;
}

}  // namespace tw::test
