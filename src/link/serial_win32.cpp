// Win32 serial backend: COM devices opened overlapped, and raw TCP serial servers ("tcp:HOST:PORT")
// over Winsock. Waits block on events (comm event or socket event, and the wake-up event): no polling.

#ifndef NOMINMAX
#define NOMINMAX
#endif
// Winsock's headers must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string_view>

#include "link/port_open_error.h"
#include "link/serial_backend.h"
#include "link/serial_comm.h"

namespace tw {

namespace {

constexpr std::string_view kTcpPrefix = "tcp:";
constexpr std::string_view kPseudoDevice = R"(\\.\TELNET)";
constexpr DWORD kQueueSize = 8192;
constexpr DWORD kCommMask = EV_RXCHAR | EV_RLSD;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr int kNamedPorts = 5;

// The errno the rest of the program reasons about (hints, messages) for a Win32 or Winsock error.
int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EBUSY;  // a COM port that another program holds answers "access denied"
    case WSAECONNREFUSED:
      return ECONNREFUSED;
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
      return EHOSTUNREACH;
    default:
      return EIO;
  }
}

BYTE ParityCode(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return ODDPARITY;
    case Parity::Even:
      return EVENPARITY;
    case Parity::None:
      break;
  }
  return NOPARITY;
}

// Winsock needs starting once per process; it stays up until the process ends.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

class Win32SerialBackend final : public SerialBackend {
 public:
  Win32SerialBackend() {
    m_wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_io = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~Win32SerialBackend() override {
    Close();
    CloseHandle(m_wake);
    CloseHandle(m_ready);
    CloseHandle(m_io);
  }
  Win32SerialBackend(const Win32SerialBackend&) = delete;
  Win32SerialBackend& operator=(const Win32SerialBackend&) = delete;

  int Open(const std::string& device) override {
    Close();
    ResetEvent(m_wake);
    if (device.starts_with(kTcpPrefix)) {
      return OpenSocket(device.substr(kTcpPrefix.size()));
    }
    const int error = OpenComm(device);
    if (error == ENOENT && device == kPseudoDevice) {
      // No such device on this PC: the TCP pseudo-device stands in.
      return OpenSocket(std::string_view(CSerialComm::kDefaultPseudoDevice).substr(kTcpPrefix.size()));
    }
    return error;
  }

  bool Configure(const LineSettings& line) override {
    if (m_socket != INVALID_SOCKET) {
      return true;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (m_comm == INVALID_HANDLE_VALUE || !GetCommState(m_comm, &dcb)) {
      return false;
    }
    dcb.BaudRate = line.baud;
    dcb.ByteSize = line.byteSize;
    dcb.Parity = ParityCode(line.parity);
    dcb.StopBits = line.stopBits == StopBits::Two ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return SetCommState(m_comm, &dcb) != 0;
  }

  void Purge() override {
    m_early.reset();
    if (m_comm != INVALID_HANDLE_VALUE) {
      PurgeComm(m_comm, kPurgeAll);
      return;
    }
    std::array<char, 4096> sink{};
    while (m_socket != INVALID_SOCKET && recv(m_socket, sink.data(), static_cast<int>(sink.size()), 0) > 0) {
    }
  }

  WaitResult WaitReadable(std::chrono::milliseconds limit) override {
    if (WaitForSingleObject(m_wake, 0) == WAIT_OBJECT_0) {
      return WaitResult::Woken;
    }
    const DWORD millis = limit < std::chrono::milliseconds::zero() ? INFINITE : static_cast<DWORD>(limit.count());
    return m_socket != INVALID_SOCKET ? WaitSocket(millis) : WaitComm(millis);
  }

  void Wake() override { SetEvent(m_wake); }

  long Read(std::uint8_t* out, std::size_t max) override {
    if (m_socket != INVALID_SOCKET) {
      const int n = recv(m_socket, reinterpret_cast<char*>(out), static_cast<int>(max), 0);
      if (n > 0) {
        return n;
      }
      return n < 0 && WSAGetLastError() == WSAEWOULDBLOCK ? 0 : kReadHangUp;
    }
    const long early = m_early ? 1 : 0;
    if (m_early && max > 0) {
      *out++ = *m_early;
      --max;
      m_early.reset();
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_comm, &errors, &status)) {
      return kReadHangUp;
    }
    const DWORD wanted = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(max));
    if (wanted == 0) {
      return early;
    }
    DWORD got = 0;
    return Transfer([&](OVERLAPPED& io) { return ReadFile(m_comm, out, wanted, nullptr, &io); }, got)
               ? early + static_cast<long>(got)
               : kReadHangUp;
  }

  bool Write(const std::uint8_t* data, std::size_t count) override {
    if (m_socket != INVALID_SOCKET) {
      return SendAll(data, count);
    }
    while (count > 0) {
      DWORD written = 0;
      const auto chunk = static_cast<DWORD>(count);
      if (!Transfer([&](OVERLAPPED& io) { return WriteFile(m_comm, data, chunk, nullptr, &io); }, written) ||
          written == 0) {
        return false;
      }
      data += written;
      count -= written;
    }
    return true;
  }

  void Close() override {
    if (m_comm != INVALID_HANDLE_VALUE) {
      // Drain, not purge: the speed confirmation written right before a reconnect must go out.
      FlushFileBuffers(m_comm);
      SetCommMask(m_comm, 0);
      EscapeCommFunction(m_comm, CLRDTR);
      PurgeComm(m_comm, PURGE_RXABORT | PURGE_RXCLEAR);
      CloseHandle(m_comm);
      m_comm = INVALID_HANDLE_VALUE;
    }
    m_early.reset();
    if (m_socket != INVALID_SOCKET) {
      closesocket(m_socket);
      m_socket = INVALID_SOCKET;
    }
  }

 private:
  int OpenComm(const std::string& device) {
    // Share mode 0: nobody else may open the port while it is ours.
    m_comm = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                         nullptr);
    if (m_comm == INVALID_HANDLE_VALUE) {
      return ErrnoFor(GetLastError());
    }
    // A port without modem lines (Wine's COM port on a pseudo-terminal) fails every WaitCommEvent: a
    // one-byte read that waits stands in for it there.
    DWORD modem = 0;
    m_commEvents = GetCommModemStatus(m_comm, &modem) != 0;
    COMMTIMEOUTS timeouts{};
    if (m_commEvents) {
      timeouts.ReadIntervalTimeout = MAXDWORD;  // a read hands over what is queued and returns
    }
    if (!SetCommMask(m_comm, kCommMask) || !SetupComm(m_comm, kQueueSize, kQueueSize) ||
        !SetCommTimeouts(m_comm, &timeouts)) {
      const int error = ErrnoFor(GetLastError());
      Close();
      return error;
    }
    PurgeComm(m_comm, kPurgeAll);
    return 0;
  }

  int OpenSocket(std::string_view target) {
    const std::optional<TcpTarget> parts = ParseTcpTarget(target);
    if (!StartWinsock() || !parts) {
      return EINVAL;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(parts->host.c_str(), parts->service.c_str(), &hints, &found) != 0) {
      return EHOSTUNREACH;
    }
    int error = ECONNREFUSED;
    for (const addrinfo* a = found; a != nullptr && m_socket == INVALID_SOCKET; a = a->ai_next) {
      m_socket = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (m_socket != INVALID_SOCKET && connect(m_socket, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
        error = ErrnoFor(static_cast<DWORD>(WSAGetLastError()));
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
      }
    }
    freeaddrinfo(found);
    if (m_socket == INVALID_SOCKET) {
      return error;
    }
    BOOL one = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    // Also makes the socket non-blocking: recv hands over what is queued.
    WSAEventSelect(m_socket, m_ready, FD_READ | FD_CLOSE);
    return 0;
  }

  WaitResult WaitSocket(DWORD limit) {
    u_long queued = 0;
    if (ioctlsocket(m_socket, FIONREAD, &queued) == 0 && queued > 0) {
      return WaitResult::Readable;
    }
    const std::array<HANDLE, 2> events{m_ready, m_wake};
    const DWORD which = WaitForMultipleObjects(2, events.data(), FALSE, limit);
    if (which == WAIT_OBJECT_0 + 1) {
      return WaitResult::Woken;
    }
    if (which == WAIT_TIMEOUT) {
      return WaitResult::TimedOut;
    }
    WSANETWORKEVENTS happened{};
    WSAEnumNetworkEvents(m_socket, m_ready, &happened);
    // A closed connection reads as end of file, after whatever it still held.
    return which == WAIT_OBJECT_0 ? WaitResult::Readable : WaitResult::HangUp;
  }

  WaitResult WaitComm(DWORD limit) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_comm, &errors, &status)) {
      return WaitResult::HangUp;
    }
    if (status.cbInQue > 0 || m_early) {
      return WaitResult::Readable;
    }
    if (!m_commEvents) {
      return WaitFirstByte(limit);
    }
    OVERLAPPED io{};
    io.hEvent = m_ready;
    ResetEvent(m_ready);
    DWORD mask = 0;
    if (!WaitCommEvent(m_comm, &mask, &io) && GetLastError() != ERROR_IO_PENDING) {
      return WaitResult::HangUp;
    }
    DWORD ignored = 0;
    return AwaitReady(io, ignored, limit);
  }

  // Waits for the overlapped operation that signals m_ready, or the wake-up or `limit`, which cancel it;
  // either way the operation has ended when this returns (io must outlive it).
  WaitResult AwaitReady(OVERLAPPED& io, DWORD& done, DWORD limit) {
    const std::array<HANDLE, 2> events{m_ready, m_wake};
    const DWORD which = WaitForMultipleObjects(2, events.data(), FALSE, limit);
    if (which != WAIT_OBJECT_0) {
      CancelIo(m_comm);
    }
    const bool ok = GetOverlappedResult(m_comm, &io, &done, TRUE) != 0;
    if (which == WAIT_OBJECT_0 + 1) {
      return WaitResult::Woken;
    }
    if (which == WAIT_TIMEOUT) {
      return ok ? WaitResult::Readable : WaitResult::TimedOut;  // ok: it ended before the cancel came
    }
    return ok && which == WAIT_OBJECT_0 ? WaitResult::Readable : WaitResult::HangUp;
  }

  // Reads one byte, waiting for it (the port's read timeouts are off), unless woken first; the byte
  // leads the next Read.
  WaitResult WaitFirstByte(DWORD limit) {
    OVERLAPPED io{};
    io.hEvent = m_ready;
    ResetEvent(m_ready);
    std::uint8_t byte = 0;
    if (!ReadFile(m_comm, &byte, 1, nullptr, &io) && GetLastError() != ERROR_IO_PENDING) {
      return WaitResult::HangUp;
    }
    DWORD got = 0;
    const WaitResult result = AwaitReady(io, got, limit);
    if (got == 1) {
      m_early = byte;  // kept even when the wake-up won the race
    }
    return result;
  }

  template <typename Start>
  bool Transfer(Start start, DWORD& done) {
    OVERLAPPED io{};
    io.hEvent = m_io;
    ResetEvent(m_io);
    if (!start(io) && GetLastError() != ERROR_IO_PENDING) {
      return false;
    }
    return GetOverlappedResult(m_comm, &io, &done, TRUE) != 0;
  }

  bool SendAll(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
      const int n = send(m_socket, reinterpret_cast<const char*>(data), static_cast<int>(count), 0);
      if (n > 0) {
        data += n;
        count -= static_cast<std::size_t>(n);
      } else if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(m_socket, &writable);
        if (select(0, nullptr, &writable, nullptr, nullptr) <= 0) {
          return false;
        }
      } else {
        return false;
      }
    }
    return true;
  }

  HANDLE m_comm = INVALID_HANDLE_VALUE;
  bool m_commEvents = true;             // false: the port has no modem lines to wait on
  std::optional<std::uint8_t> m_early;  // a byte WaitFirstByte took, not yet read
  SOCKET m_socket = INVALID_SOCKET;
  HANDLE m_wake = nullptr;   // manual reset: once woken, every wait returns at once
  HANDLE m_ready = nullptr;  // comm event or socket event
  HANDLE m_io = nullptr;     // reads and writes
};

}  // namespace

std::unique_ptr<SerialBackend> MakeSerialBackend() { return std::make_unique<Win32SerialBackend>(); }

// Port numbers 1..5 are COM1..COM5 themselves.
std::vector<std::string> ListSerialDevices() {
  std::vector<std::string> ports;
  for (int n = 1; n <= kNamedPorts; ++n) {
    ports.push_back(R"(\\.\COM)" + std::to_string(n));
  }
  return ports;
}

std::string PortOpenHint(const PortOpenError& failure) {
  switch (failure.error) {
    case EBUSY:
      return failure.device + " is in use by another program.";
    case ENOENT:
      return failure.device + " does not exist; is the adapter plugged in?";
    case ECONNREFUSED:
      return failure.device + ": nothing listens there.";
    case EHOSTUNREACH:
      return failure.device + ": unknown host.";
    default:
      return {};
  }
}

}  // namespace tw
