#pragma once

#include <mutex>
#include <vector>

#include "cli/event_queue.h"

namespace tw {

// Ctrl+C, SIGTERM and SIGHUP end every port's run: each queue that is listening gets an Interrupt, and a
// queue that starts listening afterwards gets one at once.
class Interrupts {
 public:
  void Raise();
  void Listen(EventQueue& queue);
  void StopListening(EventQueue& queue);

 private:
  std::mutex m_mutex;
  std::vector<EventQueue*> m_queues;
  bool m_raised = false;
};

// Listens for as long as it lives.
class InterruptListener {
 public:
  InterruptListener(Interrupts& interrupts, EventQueue& queue) : m_interrupts(interrupts), m_queue(queue) {
    m_interrupts.Listen(m_queue);
  }
  ~InterruptListener() { m_interrupts.StopListening(m_queue); }
  InterruptListener(const InterruptListener&) = delete;
  InterruptListener& operator=(const InterruptListener&) = delete;

 private:
  Interrupts& m_interrupts;
  EventQueue& m_queue;
};

}  // namespace tw
