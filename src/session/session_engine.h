#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "session/session_context.h"
#include "session/upload_receiver.h"

namespace tw {

// Drives a transfer reply by reply once the handshake has gone out: the box leads, the PC answers. The
// transfer machine decides what a reply may still do.
class SessionEngine {
 public:
  SessionEngine(SessionContext& context, UploadReceiver& receiver) : m_context(context), m_receiver(receiver) {}

  // A received chunk waits in the link's buffer. It is released last, after any message box.
  void OnReceivedData(std::size_t length);
  // The bytes of one chunk, in the order received, after `silence` with nothing on the line.
  void OnBytes(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds silence);
  void OnTimer(int timerId);
  // The device hung up: the reader has stopped and the link is not connected.
  void OnLineLost();
  // A reopen of the port failed: the line is gone just the same.
  void OnReopenFailed();

  void SendViewerBlock(BlockKind kind);
  void SendFileBlock(BlockKind kind);

 private:
  void ProcessBuffered();
  void OnReply(std::uint8_t code, std::uint8_t parameter);
  void OnSendData();
  void OnSpeedAck();
  void OnGetRequest();
  void OnBlockOk();
  void OnBlockResend();
  void OnBlockFailed();
  void OnComplete();
  void OnMediaStored();
  void OnGetDataNak();
  void Refuse(std::string_view message, TransferEnd reason);
  void Fail(TransferEnd reason);
  void SendBlock(BlockKind kind);
  [[nodiscard]] std::optional<DataBlock> TakeBlock(BlockKind kind);
  void ShowProgress(std::uint64_t done, std::uint64_t total);

  SessionContext& m_context;
  UploadReceiver& m_receiver;
};

}  // namespace tw
