#include "cli/signal_watcher.h"

#include <pthread.h>

#include <csignal>

namespace tw {

namespace {

// SIGUSR1 only tells the watcher to stop.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);  // the terminal closed: the temporary files must still go
  sigaddset(&set, SIGUSR1);
  return set;
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  m_thread = std::thread([this, set] {
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0 || signal == SIGUSR1) {
        return;
      }
      m_onSignal();
    }
  });
}

SignalWatcher::~SignalWatcher() {
  pthread_kill(m_thread.native_handle(), SIGUSR1);
  m_thread.join();
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace tw
