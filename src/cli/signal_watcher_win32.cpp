#include "cli/signal_watcher.h"

#include <windows.h>

#include <mutex>

namespace tw {

namespace {

// Windows calls the console handler on a thread it makes for each event; only one watcher lives at a time.
std::mutex g_mutex;
const std::function<void()>* g_onSignal = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  std::lock_guard lock(g_mutex);
  if (g_onSignal != nullptr) {
    (*g_onSignal)();
  }
  return TRUE;
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
  std::lock_guard lock(g_mutex);
  g_onSignal = &m_onSignal;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

SignalWatcher::~SignalWatcher() {
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  std::lock_guard lock(g_mutex);
  g_onSignal = nullptr;
}

}  // namespace tw
