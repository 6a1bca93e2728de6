#pragma once

#include "link/loader_link.h"
#include "link/reply_framer.h"
#include "session/session_roles.h"
#include "session/transfer_machine.h"

namespace tw {

inline constexpr int kWatchdogTimerId = 1;
inline constexpr int kWatchdogMilliseconds = 10000;

// What every part of a transfer session works on: the link, the host's roles and the transfer.
struct SessionContext {
  SessionContext(LoaderLink& link_, const SessionRoles& host_)
      : link(link_), host(host_), transfer(host_.prompts, host_.result) {}

  LoaderLink& link;
  SessionRoles host;
  TransferMachine transfer;
  ReplyFramer framer;

  // A plan for `mode` with the request's address from the Start text as it stands now.
  [[nodiscard]] TransferPlan NewPlan(Mode mode, bool download);
  // Runs the transfer size step; when the plan is not refused, accepts it and sends the handshake.
  bool Accept(TransferPlan plan);
  // Accepts a plan whose size step has run and starts its conversation.
  void StartTransfer(TransferPlan plan);
};

}  // namespace tw
