#include "cli/interrupts.h"

#include <algorithm>

namespace tw {

namespace {

constexpr CliEvent kInterrupt{CliEvent::Kind::Interrupt, 0};

}  // namespace

void Interrupts::Raise() {
  const std::lock_guard lock(m_mutex);
  m_raised = true;
  for (EventQueue* queue : m_queues) {
    queue->Push(kInterrupt);
  }
}

void Interrupts::Listen(EventQueue& queue) {
  const std::lock_guard lock(m_mutex);
  m_queues.push_back(&queue);
  if (m_raised) {
    queue.Push(kInterrupt);
  }
}

void Interrupts::StopListening(EventQueue& queue) {
  const std::lock_guard lock(m_mutex);
  m_queues.erase(std::remove(m_queues.begin(), m_queues.end(), &queue), m_queues.end());
}

}  // namespace tw
