#include "boxsim/tcp_endpoint.h"

namespace tw {

std::string TcpEndpoint::Name() const { return "tcp:" + m_host + ":" + std::to_string(m_port); }

void TcpEndpoint::Accept() {
  m_peer = AcceptPeer();
  if (m_peer == kNoSocket || m_held.empty()) {
    return;
  }
  // Held replies are a few bytes, which a fresh connection takes at once; any rest waits for the next write.
  const long sent = SendNow(m_held.data(), m_held.size());
  if (sent > 0) {
    m_held.erase(m_held.begin(), m_held.begin() + sent);
  }
}

void TcpEndpoint::DropPeer() {
  if (m_peer != kNoSocket) {
    CloseSocket(m_peer);
    m_peer = kNoSocket;
  }
}

long TcpEndpoint::Read(std::uint8_t* buffer, std::size_t size) {
  if (m_peer == kNoSocket) {
    Accept();
    return 0;
  }
  const long got = Receive(buffer, size);
  if (got >= 0) {
    return got;
  }
  DropPeer();  // the PC closed its port; the next one may connect
  return 0;
}

bool TcpEndpoint::Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  m_held.insert(m_held.end(), data, data + size);
  // A PC that has closed (to reconnect at a new speed) gets the bytes on its next connection; its
  // unread input is still drained by Read before the connection is dropped.
  if (m_peer == kNoSocket || PeerHungUp()) {
    return true;
  }
  std::vector<std::uint8_t> held;
  held.swap(m_held);
  // Bytes written into a connection that breaks are lost, as on a line whose far end is unplugged.
  if (!SendAll(held.data(), held.size(), stop)) {
    DropPeer();
  }
  return !stop.Raised();
}

}  // namespace tw
