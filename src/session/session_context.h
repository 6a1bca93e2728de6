#pragma once

#include "link/loader_link.h"
#include "link/reply_framer.h"
#include "session/session_host.h"
#include "session/transfer_state.h"

namespace tw {

inline constexpr int kWatchdogTimerId = 1;
inline constexpr int kWatchdogMilliseconds = 10000;

// What every part of a transfer session works on: the link, the host and the transfer state.
struct SessionContext {
  SessionContext(CLoaderLink& link_, SessionHost& host_) : link(link_), host(host_) {}

  CLoaderLink& link;
  SessionHost& host;
  TransferState state;
  ReplyFramer framer;

  [[nodiscard]] Mode CurrentMode() { return static_cast<Mode>(host.ModeIndex()); }
  void SendHandshake() {
    framer.Clear();
    link.SendHandshake();
  }
};

}  // namespace tw
