#pragma once
// The platform side of a serial port: one implementation per platform file (serial_posix.cpp, ...).
// The reader-thread logic in CSerialComm only talks to this interface.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// What both platforms' lines can carry.
enum class StopBits : std::uint8_t { One, Two };
enum class Parity : std::uint8_t { None, Odd, Even };

struct LineSettings {
  static constexpr std::uint8_t kMinByteSize = 5;
  static constexpr std::uint8_t kMaxByteSize = 8;

  std::uint32_t baud = 9600;
  std::uint8_t byteSize = kMaxByteSize;  // data bits
  StopBits stopBits = StopBits::One;
  Parity parity = Parity::None;

  [[nodiscard]] bool HasValidByteSize() const { return byteSize >= kMinByteSize && byteSize <= kMaxByteSize; }
};

enum class WaitResult { Readable, Woken, HangUp, TimedOut };

inline constexpr long kReadHangUp = -1;
inline constexpr std::chrono::milliseconds kWaitForever{-1};

class SerialBackend {
 public:
  virtual ~SerialBackend() = default;

  // 0 on success, else an errno value. Opens exclusively.
  virtual int Open(const std::string& device) = 0;
  virtual bool Configure(const LineSettings& line) = 0;
  // Discards both queues.
  virtual void Purge() = 0;
  // Reader thread: blocks until input is queued, Wake() was called, the line hung up, or `limit` passed
  // with none of these (TimedOut: the line was quiet all that time); kWaitForever has no limit.
  [[nodiscard]] virtual WaitResult WaitReadable(std::chrono::milliseconds limit) = 0;
  // Any thread: makes a current or the next WaitReadable return Woken.
  virtual void Wake() = 0;
  // Reads only what is queued, at most `max` bytes: the count, 0 when nothing was queued, or
  // kReadHangUp at end of file or an I/O error.
  [[nodiscard]] virtual long Read(std::uint8_t* out, std::size_t max) = 0;
  // Blocks until all bytes are written.
  virtual bool Write(const std::uint8_t* data, std::size_t count) = 0;
  // Lets pending output drain, discards input, drops DTR, releases the device.
  virtual void Close() = 0;
};

[[nodiscard]] std::unique_ptr<SerialBackend> MakeSerialBackend();

// "HOST:PORT" of a raw TCP serial server, split at its last colon; nothing when a part is missing.
struct TcpTarget {
  std::string host;
  std::string service;
};
[[nodiscard]] std::optional<TcpTarget> ParseTcpTarget(std::string_view target);

// Serial devices present, in port order (port number n is entry n - 1).
[[nodiscard]] std::vector<std::string> ListSerialDevices();

}  // namespace tw
