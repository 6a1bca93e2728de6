#include "boxsim/tcp_endpoint.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

namespace tw {

namespace {

std::string SocketError() { return "Winsock error " + std::to_string(WSAGetLastError()); }

// The event is reset first and the socket then asked directly, so bytes that came before the
// event was armed are not missed and a consumed event never spins the caller.
bool Ready(SOCKET socket, short events) {
  WSAPOLLFD fd{socket, events, 0};
  return WSAPoll(&fd, 1, 0) > 0;
}

bool WaitEvent(WSAEVENT event, const StopSignal& stop) {
  const HANDLE handles[2] = {event, stop.Handle()};
  return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}

}  // namespace

TcpEndpoint::TcpEndpoint(const std::string& host, std::uint16_t port) : m_host(host) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    throw std::runtime_error("cannot start Winsock");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    WSACleanup();
    throw std::runtime_error("not an IPv4 address: " + host);
  }
  m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  m_event = WSACreateEvent();
  // An exclusive address: on Windows SO_REUSEADDR would let another program take the port over.
  const BOOL yes = TRUE;
  if (m_listen == INVALID_SOCKET || m_event == WSA_INVALID_EVENT ||
      setsockopt(m_listen, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes) != 0 ||
      bind(m_listen, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(m_listen, 1) != 0 ||
      WSAEventSelect(m_listen, m_event, FD_ACCEPT) != 0) {
    const std::string reason = SocketError();
    CloseSocket(m_listen);
    WSACloseEvent(m_event);
    WSACleanup();
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) + ": " + reason);
  }
  int length = sizeof address;
  getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
}

TcpEndpoint::~TcpEndpoint() {
  DropPeer();
  CloseSocket(m_listen);
  WSACloseEvent(m_event);
  WSACleanup();
}

bool TcpEndpoint::WaitReadable(const StopSignal& stop) {
  const bool peer = m_peer != kNoSocket;
  const SOCKET socket = peer ? m_peer : m_listen;
  if (WSAEventSelect(socket, m_event, peer ? FD_READ | FD_CLOSE : FD_ACCEPT) != 0) {
    return false;
  }
  WSAResetEvent(m_event);
  return Ready(socket, POLLRDNORM) ? !stop.Raised() : WaitEvent(m_event, stop);
}

TcpEndpoint::Socket TcpEndpoint::AcceptPeer() {
  const SOCKET peer = accept(m_listen, nullptr, nullptr);
  u_long nonBlocking = 1;
  if (peer != INVALID_SOCKET) {
    ioctlsocket(peer, FIONBIO, &nonBlocking);
  }
  return peer;
}

long TcpEndpoint::SendNow(const std::uint8_t* data, std::size_t size) {
  return send(m_peer, reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
}

bool TcpEndpoint::SendAll(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  if (WSAEventSelect(m_peer, m_event, FD_WRITE | FD_CLOSE) != 0) {
    return false;
  }
  while (size > 0) {
    WSAResetEvent(m_event);
    const long sent = SendNow(data, size);
    if (sent > 0) {
      data += sent;
      size -= static_cast<std::size_t>(sent);
      continue;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
      return false;
    }
    if (!Ready(m_peer, POLLWRNORM) && !WaitEvent(m_event, stop)) {
      return false;
    }
  }
  return true;
}

long TcpEndpoint::Receive(std::uint8_t* buffer, std::size_t size) {
  const int got = recv(m_peer, reinterpret_cast<char*>(buffer), static_cast<int>(size), 0);
  if (got > 0) {
    return got;
  }
  return got < 0 && WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

bool TcpEndpoint::PeerHungUp() const {
  WSAPOLLFD fd{m_peer, POLLRDNORM, 0};
  return WSAPoll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR)) != 0;
}

void TcpEndpoint::CloseSocket(Socket socket) {
  if (socket != kNoSocket) {
    closesocket(socket);
  }
}

}  // namespace tw
