#pragma once
// A real serial device (a USB serial adapter looped to the PC's, or a COM port), raw 8N1 at the negotiated
// speed.

#include <optional>
#include <string>

#include "boxsim/box_endpoint.h"

namespace tw {

class DeviceEndpoint final : public BoxEndpoint {
 public:
  // Throws std::runtime_error when the device cannot be opened or set up.
  DeviceEndpoint(std::string path, std::uint32_t baud);
  ~DeviceEndpoint() override;
  DeviceEndpoint(const DeviceEndpoint&) = delete;
  DeviceEndpoint& operator=(const DeviceEndpoint&) = delete;

  [[nodiscard]] std::string Name() const override { return m_path; }
  [[nodiscard]] bool WaitReadable(const StopSignal& stop) override;
  long Read(std::uint8_t* buffer, std::size_t size) override;
  bool Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) override;
  void SetBaud(std::uint32_t baud) override;
  [[nodiscard]] bool PacedByLine() const override { return true; }

 private:
  [[nodiscard]] bool Configure(std::uint32_t baud);

  std::string m_path;
#ifdef _WIN32
  [[nodiscard]] bool WaitFirstByte(const StopSignal& stop);

  void* m_handle = nullptr;             // the COM port's HANDLE, opened overlapped
  bool m_commEvents = true;             // false: no modem lines, so no WaitCommEvent
  std::optional<std::uint8_t> m_early;  // a byte WaitFirstByte took, not yet read
#else
  int m_fd = -1;
#endif
};

}  // namespace tw
