#include "session/session_context.h"

#include "session/transfer_size.h"

namespace tw {

TransferPlan SessionContext::NewPlan(Mode mode, bool download) {
  TransferPlan plan;
  plan.mode = mode;
  plan.download = download;
  plan.address = RequestAddress(mode, host.controls.StartText());
  return plan;
}

bool SessionContext::Accept(TransferPlan plan) {
  if (!UpdateTransferSize(host, plan)) {
    return false;
  }
  StartTransfer(std::move(plan));
  return true;
}

void SessionContext::StartTransfer(TransferPlan plan) {
  link.SetTransferSize(plan.size);
  transfer.Begin(std::move(plan));
  framer.Clear();
  link.SendHandshake();
}

}  // namespace tw
