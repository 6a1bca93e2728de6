#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/chunk_sink.h"
#include "link/port_open_error.h"
#include "link/serial_backend.h"
#include "link/wire_format.h"

namespace tw {

// One serial device, a reader thread that hands received chunks of at most 2048 bytes to the owner one
// at a time, and a blocking write.
class CSerialComm {
 public:
  CSerialComm();
  virtual ~CSerialComm();
  CSerialComm(const CSerialComm&) = delete;
  CSerialComm& operator=(const CSerialComm&) = delete;

  void SetOwner(ChunkSink* owner);
  void SetParams(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, StopBits stopBits, Parity parity);
  bool CreateEvents();
  bool Open(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, StopBits stopBits, Parity parity);
  bool Configure();
  bool Send(const std::uint8_t* data, std::size_t count);
  void ClosePort();
  void Close();

  // The owner consumed the chunk: pending length 0, the reader may read on. Harmless after a reconnect.
  void ReleaseChunk();

  [[nodiscard]] bool IsConnected() const;
  [[nodiscard]] const std::uint8_t* ReceiveBuffer() const;  // the chunk, followed by a zero byte
  // How long the line was surely quiet before the pending chunk came (a lower bound): not the time the
  // owner spent elsewhere (a message box holding the chunk, a blocked output), nor a late reader's.
  [[nodiscard]] std::chrono::milliseconds ChunkSilence() const;
  [[nodiscard]] std::uint32_t BaudRate() const;

  // Port numbers 1..5 map to the n-th serial device present unless overridden here; above 5 the
  // pseudo-device (override "tcp:HOST:PORT"). An override may be a device path or "tcp:HOST:PORT".
  void SetDeviceOverride(int portNumber, std::string device);
  [[nodiscard]] std::string DevicePathFor(int portNumber) const;

  // Every frame written or read, for tracing; called on the writing or reading thread.
  using TraceFn = std::function<void(bool fromPc, const std::uint8_t* data, std::size_t count)>;
  // Set before Open: a running reader keeps the function it started with.
  void SetTrace(TraceFn trace);

  // The errno and device of the last failed open, for a console hint (PortOpenHint).
  [[nodiscard]] const PortOpenError& LastOpenError() const;

  // The pseudo-device for port numbers above 5 when no override names one.
  static constexpr const char* kDefaultPseudoDevice = "tcp:127.0.0.1:2323";

 protected:
  // The platform backend; tests substitute a scripted one.
  [[nodiscard]] virtual std::unique_ptr<SerialBackend> MakeBackend();

 private:
  bool FailOpen(int error, const std::string& device);
  void StartReader();
  void StopReader();
  void ReaderLoop(SerialBackend& device, ChunkSink* owner, const TraceFn& trace, std::uint64_t generation);
  [[nodiscard]] bool WaitUntilNoChunkPending(std::uint64_t generation);
  [[nodiscard]] bool Retired(std::uint64_t generation) const;
  void LoseLine(ChunkSink* owner, std::uint64_t generation);

  std::unique_ptr<SerialBackend> m_backend;
  ChunkSink* m_owner = nullptr;
  std::atomic<bool> m_connected{false};
  std::array<std::uint8_t, kMaxChunk + 1> m_receive{};
  std::uint8_t m_port = 1;
  LineSettings m_line;

  // The hand-off. A chunk stays pending across a close: the owner still holds it, so a reader started
  // by a reconnect waits for that release before it reuses the receive buffer.
  mutable std::mutex m_mutex;
  std::condition_variable m_released;
  std::size_t m_pending = 0;               // guarded by m_mutex
  std::chrono::milliseconds m_silence{0};  // guarded by m_mutex
  std::uint64_t m_generation = 0;          // guarded by m_mutex; bumped to retire the running reader
  std::thread m_reader;

  TraceFn m_trace;
  std::map<int, std::string> m_overrides;
  PortOpenError m_lastError;
};

}  // namespace tw
