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

bool TcpEndpoint::WaitReadable(const StopSignal& stop) { return WaitFd(m_peer >= 0 ? m_peer : m_listen, stop); }

TcpEndpoint::Socket TcpEndpoint::AcceptPeer() {
  return accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

long TcpEndpoint::SendNow(const std::uint8_t* data, std::size_t size) {
  return static_cast<long>(send(m_peer, data, size, MSG_NOSIGNAL));
}

bool TcpEndpoint::SendAll(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  return WriteAll(m_peer, data, size, stop, true);
}

long TcpEndpoint::Receive(std::uint8_t* buffer, std::size_t size) {
  const ssize_t got = recv(m_peer, buffer, size, 0);
  if (got > 0) {
    return static_cast<long>(got);
  }
  return got < 0 && (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

bool TcpEndpoint::PeerHungUp() const {
  pollfd fd{m_peer, POLLRDHUP, 0};
  return poll(&fd, 1, 0) > 0 && (fd.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void TcpEndpoint::CloseSocket(Socket socket) { close(socket); }

}  // namespace tw
