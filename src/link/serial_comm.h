#pragma once
// PUBLIC API FIXED BY THE LEAD; the link helper implements it and may add private members/helpers.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/chunk_sink.h"
#include "link/wire_format.h"

namespace tw {

class SerialBackend;

// One serial device, a reader thread that hands received chunks of at most 2048 bytes to the owner one
// at a time, and a blocking write.
class CSerialComm {
 public:
  CSerialComm();
  virtual ~CSerialComm();
  CSerialComm(const CSerialComm&) = delete;
  CSerialComm& operator=(const CSerialComm&) = delete;

  void SetOwner(ChunkSink* owner);
  void SetParams(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, std::uint8_t stopBits,
                 std::uint8_t parity);
  bool CreateEvents();
  bool Open(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, std::uint8_t stopBits,
            std::uint8_t parity);
  bool Configure();
  bool Send(const std::uint8_t* data, std::size_t count);
  void ClosePort();
  void Close();

  // The owner consumed the chunk: pending length 0, the reader may read on. Harmless after a reconnect.
  void ReleaseChunk();

  [[nodiscard]] bool IsConnected() const;
  [[nodiscard]] const std::uint8_t* ReceiveBuffer() const;  // the chunk, followed by a zero byte
  [[nodiscard]] std::size_t PendingLength() const;
  [[nodiscard]] std::uint8_t PortNumber() const;
  [[nodiscard]] std::uint32_t BaudRate() const;

  // Port numbers 1..5 map to the n-th serial device present unless overridden here; above 5 the
  // pseudo-device (override "tcp:HOST:PORT"). An override may be a device path or "tcp:HOST:PORT".
  void SetDeviceOverride(int portNumber, std::string device);
  [[nodiscard]] std::string DevicePathFor(int portNumber) const;

  // Every frame written or read, for tracing; called on the writing or reading thread.
  using TraceFn = std::function<void(bool fromPc, const std::uint8_t* data, std::size_t count)>;
  void SetTrace(TraceFn trace);

 protected:
  // ... implementation-defined
};

}  // namespace tw
