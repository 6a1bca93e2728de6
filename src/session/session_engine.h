#pragma once

#include <cstddef>
#include <cstdint>

#include "session/session_context.h"
#include "session/upload_receiver.h"

namespace tw {

// Drives a transfer reply by reply once the handshake has gone out: the box leads, the PC answers.
class CSessionEngine {
 public:
  CSessionEngine(SessionContext& context, UploadReceiver& receiver) : m_context(context), m_receiver(receiver) {}

  // A received chunk waits in the link's buffer. It is released last, after any message box.
  void OnReceivedData(std::size_t length);
  // The bytes of one chunk, in the order received.
  void OnBytes(const std::uint8_t* data, std::size_t count);
  void OnTimer(int timerId);
  // The device hung up: the reader has stopped and the link is not connected.
  void OnLineLost();

  void SendViewerBlock(BlockKind kind);
  void SendFileBlock(BlockKind kind);

  // Ends whatever transfer is under way: files closed, a partial upload removed, buffers released.
  void AbandonTransfer();

 private:
  void ProcessBuffered();
  void OnReply(std::uint8_t code, std::uint8_t parameter);
  void OnSendData();
  void OnGetRequest();
  void OnBlockResend();
  void OnBlockFailed();
  void OnComplete();
  void OnGetDataNak();
  void Fail(std::string_view message);

  SessionContext& m_context;
  UploadReceiver& m_receiver;
};

}  // namespace tw
