#include "boxsim/tcp_endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tw {

TcpEndpoint::TcpEndpoint(const std::string& host, std::uint16_t port) : m_host(host) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    throw std::runtime_error("not an IPv4 address: " + host);
  }
  m_listen = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const int yes = 1;
  if (m_listen < 0 || setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
      bind(m_listen, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(m_listen, 1) != 0) {
    const std::string reason = std::strerror(errno);
    if (m_listen >= 0) {
      close(m_listen);
    }
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) + ": " + reason);
  }
  socklen_t length = sizeof address;
  getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
}

TcpEndpoint::~TcpEndpoint() {
  DropPeer();
  close(m_listen);
}

std::string TcpEndpoint::Name() const { return "tcp:" + m_host + ":" + std::to_string(m_port); }

void TcpEndpoint::Accept() {
  m_peer = accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (m_peer < 0 || m_held.empty()) {
    return;
  }
  // Held replies are a few bytes, which a fresh connection takes at once; any rest waits for the next write.
  const ssize_t sent = send(m_peer, m_held.data(), m_held.size(), MSG_NOSIGNAL);
  if (sent > 0) {
    m_held.erase(m_held.begin(), m_held.begin() + sent);
  }
}

void TcpEndpoint::DropPeer() {
  if (m_peer >= 0) {
    close(m_peer);
    m_peer = -1;
  }
}

long TcpEndpoint::Read(std::uint8_t* buffer, std::size_t size) {
  if (m_peer < 0) {
    Accept();
    return 0;
  }
  const ssize_t got = recv(m_peer, buffer, size, 0);
  if (got > 0) {
    return static_cast<long>(got);
  }
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
    return 0;
  }
  DropPeer();  // the PC closed its port; the next one may connect
  return 0;
}

bool TcpEndpoint::PeerHungUp() const {
  pollfd fd{m_peer, POLLRDHUP, 0};
  return poll(&fd, 1, 0) > 0 && (fd.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

bool TcpEndpoint::Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  m_held.insert(m_held.end(), data, data + size);
  // A PC that has closed (to reconnect at a new speed) gets the bytes on its next connection; its
  // unread input is still drained by Read before the connection is dropped.
  if (m_peer < 0 || PeerHungUp()) {
    return true;
  }
  std::vector<std::uint8_t> held;
  held.swap(m_held);
  // Bytes written into a connection that breaks are lost, as on a line whose far end is unplugged.
  if (!WriteAll(m_peer, held.data(), held.size(), stop, true)) {
    DropPeer();
  }
  return !stop.Raised();
}

}  // namespace tw
