#pragma once

#include <functional>
#include <thread>

namespace tw {

// Turns Ctrl+C, SIGTERM and SIGHUP (on Windows Ctrl+C, Ctrl+Break and the console closing) into a call on a
// thread of its own. Construct it before any other thread so that every thread inherits the blocked signals.
class SignalWatcher {
 public:
  explicit SignalWatcher(std::function<void()> onSignal);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

 private:
  std::function<void()> m_onSignal;
#ifndef _WIN32
  std::thread m_thread;
#endif
};

}  // namespace tw
