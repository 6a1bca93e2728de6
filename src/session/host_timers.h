#pragma once

#include <string>

namespace tw {

// Time on the owner's thread: the reply watchdog, pauses and the wait dialog, during all of which the
// owner keeps dispatching its events.
class HostTimers {
 public:
  virtual ~HostTimers() = default;

  // Timer 1, the reply watchdog; its expiry comes back as the session's OnTimer(1).
  virtual void StartWatchdog(int milliseconds) = 0;
  virtual void StopWatchdog() = 0;
  virtual void Pause(int milliseconds) = 0;

  virtual void ShowWaitDialog(const std::string& text) = 0;
  virtual void HideWaitDialog() = 0;
  [[nodiscard]] virtual bool WaitDialogShown() = 0;
  virtual void PumpMessages() = 0;
};

}  // namespace tw
