#pragma once
// A raw TCP listener standing for the line: one PC connection at a time. The PC closes and reconnects
// when it changes speed, so the box keeps its conversation across connections and holds what it
// writes while no PC is connected, handing it to the next one.

#include <cstdint>
#include <string>
#include <vector>

#include "boxsim/box_endpoint.h"

namespace tw {

class TcpEndpoint final : public BoxEndpoint {
 public:
  // Port 0 takes any free port; Name() tells which. Throws std::runtime_error when it cannot listen.
  TcpEndpoint(const std::string& host, std::uint16_t port);
  ~TcpEndpoint() override;
  TcpEndpoint(const TcpEndpoint&) = delete;
  TcpEndpoint& operator=(const TcpEndpoint&) = delete;

  [[nodiscard]] std::string Name() const override;
  [[nodiscard]] int PollFd() const override { return m_peer >= 0 ? m_peer : m_listen; }
  long Read(std::uint8_t* buffer, std::size_t size) override;
  bool Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) override;
  void SetBaud(std::uint32_t) override {}

 private:
  void Accept();
  void DropPeer();
  [[nodiscard]] bool PeerHungUp() const;

  int m_listen = -1;
  int m_peer = -1;
  std::string m_host;
  std::uint16_t m_port = 0;
  std::vector<std::uint8_t> m_held;
};

}  // namespace tw
