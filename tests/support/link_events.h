#pragma once
// A link owner's notifications queued for the test's thread, which plays the owner's thread.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace tw::test {

class LinkEvents {
 public:
  static constexpr std::size_t kLineLost = SIZE_MAX;

  // Reader thread: a chunk's length, or kLineLost.
  void Push(std::size_t event) {
    {
      const std::lock_guard lock(m_mutex);
      m_events.push_back(event);
    }
    m_changed.notify_all();
  }

  // The next notification; nothing within the limit means the link is stuck.
  std::optional<std::size_t> Next(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, limit, [this] { return !m_events.empty(); })) {
      return std::nullopt;
    }
    const std::size_t event = m_events.front();
    m_events.pop_front();
    return event;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::size_t> m_events;
};

}  // namespace tw::test
