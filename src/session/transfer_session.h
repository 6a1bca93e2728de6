#pragma once

#include <memory>

#include "link/loader_link.h"
#include "session/image_loaders.h"
#include "session/media_batch.h"
#include "session/operation_dispatch.h"
#include "session/session_context.h"
#include "session/session_engine.h"
#include "session/upload_receiver.h"

namespace tw {

// The transfer session the dialog (or the console) owns: its state and every operation on it.
class TransferSession {
 public:
  TransferSession(LoaderLink& link, const SessionRoles& host, PhotoConverter& converter);
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  bool OnStart() { return m_dispatch.OnStart(); }
  bool OnSelchangePort() { return m_dispatch.OnSelchangePort(); }
  void OnReceivedData(std::size_t length) { m_engine.OnReceivedData(length); }
  void OnTimer(int timerId) { m_engine.OnTimer(timerId); }
  void OnLineLost() { m_engine.OnLineLost(); }
  // The owner is going away: a waiting batch returns, a partial upload is removed.
  void OnClosing();

  // A transfer is under way (from its handshake to its end) or a batch waits for its file.
  [[nodiscard]] bool Running() const { return m_context.transfer.Running(); }
  [[nodiscard]] const TransferMachine& Transfer() const { return m_context.transfer; }
  [[nodiscard]] SessionEngine& Engine() { return m_engine; }

 private:
  SessionContext m_context;
  UploadReceiver m_receiver;
  SessionEngine m_engine;
  ImageLoaders m_loaders;
  MediaBatch m_batch;
  OperationDispatch m_dispatch;
};

}  // namespace tw
