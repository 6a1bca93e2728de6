#pragma once

#include <pthread.h>

#include <functional>
#include <thread>

namespace tw {

// Turns Ctrl+C, SIGTERM and SIGHUP into a call on a thread of its own. Construct it before any other thread so
// that every thread inherits the blocked signals.
class SignalWatcher {
 public:
  explicit SignalWatcher(std::function<void()> onSignal);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

 private:
  std::function<void()> m_onSignal;
  std::thread m_thread;
};

}  // namespace tw
