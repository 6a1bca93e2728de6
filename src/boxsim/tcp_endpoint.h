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
  [[nodiscard]] bool WaitReadable(const StopSignal& stop) override;
  long Read(std::uint8_t* buffer, std::size_t size) override;
  bool Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) override;
  void SetBaud(std::uint32_t) override {}

 private:
#ifdef _WIN32
  using Socket = std::uintptr_t;  // SOCKET
  static constexpr Socket kNoSocket = ~Socket{0};
#else
  using Socket = int;
  static constexpr Socket kNoSocket = -1;
#endif

  void Accept();
  void DropPeer();
  // The platform's side: a non-blocking peer or kNoSocket; bytes sent at once without waiting.
  [[nodiscard]] Socket AcceptPeer();
  [[nodiscard]] long SendNow(const std::uint8_t* data, std::size_t size);
  [[nodiscard]] bool SendAll(const std::uint8_t* data, std::size_t size, const StopSignal& stop);
  // Bytes received; 0 when nothing is there yet; -1 when the PC closed or the connection broke.
  [[nodiscard]] long Receive(std::uint8_t* buffer, std::size_t size);
  [[nodiscard]] bool PeerHungUp() const;
  static void CloseSocket(Socket socket);

  Socket m_listen = kNoSocket;
  Socket m_peer = kNoSocket;
#ifdef _WIN32
  void* m_event = nullptr;  // WSAEVENT: the socket waited on turned readable, writable or closed
#endif
  std::string m_host;
  std::uint16_t m_port = 0;
  std::vector<std::uint8_t> m_held;
};

}  // namespace tw
