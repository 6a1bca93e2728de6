#pragma once

#include <array>
#include <cstdint>

#include "link/com_port.h"
#include "link/serial_comm.h"
#include "link/wire_format.h"

namespace tw {

enum class BlockKind : int { First = 0, Next = 1, Resend = 2 };

// The serial port with the loader protocol's framing.
class LoaderLink : public CSerialComm {
 public:
  using ModelName = std::array<std::uint8_t, kModelNameSize + 1>;

  bool Connect(ComPort port, LineSpeed speed, ChunkSink* owner);
  bool Reconnect(ComPort port, LineSpeed speed);

  void SendHandshake();
  void SendRequest(Mode mode, bool download, std::uint32_t address);
  // One file or media block of min(remaining, 1024) bytes in one write; returns `remaining`.
  std::uint32_t SendDataBlock(const std::uint8_t* data, std::uint32_t remaining, BlockKind kind);
  // One hex-viewer block: sequence 0, the counter left alone, header and payload as two writes.
  void SendViewerDataBlock(const std::uint8_t* data, std::uint32_t count);
  void SendSpeed(LineSpeed speed);
  void SendSpeedConfirm();
  void SendUploadAck();
  void SetTransferSize(std::uint32_t size);
  [[nodiscard]] std::uint32_t TransferSize() const;

  // Program-wide: all zero until a gzip program load fills it; kept for later operations.
  [[nodiscard]] ModelName& ModelNameField();
  [[nodiscard]] std::uint8_t SequenceCounter() const;

 private:
  void SendHeader(std::uint8_t code, std::uint8_t parameter = 0);

  std::uint32_t m_transferSize = 0;
  std::uint8_t m_sequence = 0;
  ModelName m_modelName{};
};

}  // namespace tw
