#pragma once
// A pseudo-terminal pair: the box works the master, the PC opens the slave's path. The box keeps a
// slave descriptor open itself, so the PC closing and reopening its port never hangs up the line.

#include "boxsim/box_endpoint.h"

namespace tw {

class PtyEndpoint final : public BoxEndpoint {
 public:
  PtyEndpoint();  // throws std::runtime_error when the system has no pseudo-terminal to give
  ~PtyEndpoint() override;
  PtyEndpoint(const PtyEndpoint&) = delete;
  PtyEndpoint& operator=(const PtyEndpoint&) = delete;

  [[nodiscard]] std::string Name() const override { return m_path; }
  [[nodiscard]] bool WaitReadable(const StopSignal& stop) override { return WaitFd(m_master, stop); }
  long Read(std::uint8_t* buffer, std::size_t size) override;
  bool Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) override;
  // The speed of a pty is only an attribute; the pacing follows the negotiated speed instead.
  void SetBaud(std::uint32_t) override {}

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_path;
};

}  // namespace tw
