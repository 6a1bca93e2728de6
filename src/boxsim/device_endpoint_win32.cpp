#include "boxsim/device_endpoint.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace tw {

namespace {

// COM10 and above open only through the device namespace, and COM1 that way as well.
std::string DevicePath(const std::string& name) {
  return std::string_view(name).starts_with(R"(\\)") ? name : R"(\\.\)" + name;
}

std::string LastError() { return "Windows error " + std::to_string(GetLastError()); }

// One overlapped operation: finished at once, or waited for together with the stop (cancelled when
// the stop comes first). Returns the bytes moved, or -1.
long Finish(HANDLE port, BOOL started, OVERLAPPED& overlapped, const StopSignal* stop) {
  DWORD moved = 0;
  if (!started && GetLastError() != ERROR_IO_PENDING) {
    return -1;
  }
  if (!started && stop != nullptr) {
    const HANDLE handles[2] = {overlapped.hEvent, stop->Handle()};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) {
      CancelIo(port);
      GetOverlappedResult(port, &overlapped, &moved, TRUE);
      return -1;
    }
  }
  return GetOverlappedResult(port, &overlapped, &moved, TRUE) ? static_cast<long>(moved) : -1;
}

class Overlapped {
 public:
  Overlapped() { m_overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~Overlapped() { CloseHandle(m_overlapped.hEvent); }
  Overlapped(const Overlapped&) = delete;
  Overlapped& operator=(const Overlapped&) = delete;
  OVERLAPPED& Get() { return m_overlapped; }

 private:
  OVERLAPPED m_overlapped{};
};

DWORD QueuedBytes(HANDLE port) {
  COMSTAT status{};
  DWORD errors = 0;
  return ClearCommError(port, &errors, &status) ? status.cbInQue : 0;
}

}  // namespace

DeviceEndpoint::DeviceEndpoint(std::string path, std::uint32_t baud) : m_path(std::move(path)) {
  m_handle = CreateFileA(DevicePath(m_path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  if (m_handle == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot open " + m_path + ": " + LastError());
  }
  // Reads take what is queued and return at once; the wait is WaitCommEvent's. A port without modem
  // lines (Wine's on a pseudo-terminal) fails WaitCommEvent: there a one-byte read waits instead.
  DWORD modem = 0;
  m_commEvents = GetCommModemStatus(m_handle, &modem) != 0;
  COMMTIMEOUTS timeouts{m_commEvents ? MAXDWORD : 0, 0, 0, 0, 0};
  if (!Configure(baud) || !SetCommTimeouts(m_handle, &timeouts) || !SetCommMask(m_handle, EV_RXCHAR)) {
    const std::string reason = LastError();
    CloseHandle(m_handle);
    throw std::runtime_error("cannot set up " + m_path + ": " + reason);
  }
  PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

DeviceEndpoint::~DeviceEndpoint() { CloseHandle(m_handle); }

bool DeviceEndpoint::Configure(std::uint32_t baud) {
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (!GetCommState(m_handle, &settings)) {
    return false;
  }
  settings.BaudRate = baud;
  settings.ByteSize = 8;
  settings.Parity = NOPARITY;
  settings.StopBits = ONESTOPBIT;
  settings.fBinary = TRUE;
  settings.fParity = FALSE;
  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDtrControl = DTR_CONTROL_ENABLE;
  settings.fRtsControl = RTS_CONTROL_ENABLE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  // Bytes still queued for the old speed must leave before the UART changes.
  FlushFileBuffers(m_handle);
  return SetCommState(m_handle, &settings) != 0;
}

bool DeviceEndpoint::WaitReadable(const StopSignal& stop) {
  if (m_early || QueuedBytes(m_handle) > 0) {
    return !stop.Raised();
  }
  if (!m_commEvents) {
    return WaitFirstByte(stop);
  }
  Overlapped overlapped;
  DWORD events = 0;
  return Finish(m_handle, WaitCommEvent(m_handle, &events, &overlapped.Get()), overlapped.Get(), &stop) >= 0;
}

bool DeviceEndpoint::WaitFirstByte(const StopSignal& stop) {
  Overlapped overlapped;
  std::uint8_t byte = 0;
  const long got = Finish(m_handle, ReadFile(m_handle, &byte, 1, nullptr, &overlapped.Get()), overlapped.Get(), &stop);
  if (got == 1) {
    m_early = byte;
  }
  return got >= 0;
}

long DeviceEndpoint::Read(std::uint8_t* buffer, std::size_t size) {
  const long early = m_early ? 1 : 0;
  if (m_early && size > 0) {
    *buffer++ = *m_early;
    --size;
    m_early.reset();
  }
  // Only what is queued: with the read timeouts off a longer read would wait for more.
  const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, QueuedBytes(m_handle)));
  if (wanted == 0) {
    return early;
  }
  Overlapped overlapped;
  const long got =
      Finish(m_handle, ReadFile(m_handle, buffer, wanted, nullptr, &overlapped.Get()), overlapped.Get(), nullptr);
  return got < 0 ? got : early + got;
}

bool DeviceEndpoint::Write(const std::uint8_t* data, std::size_t size, const StopSignal& stop) {
  Overlapped overlapped;
  return Finish(m_handle, WriteFile(m_handle, data, static_cast<DWORD>(size), nullptr, &overlapped.Get()),
                overlapped.Get(), &stop) == static_cast<long>(size);
}

void DeviceEndpoint::SetBaud(std::uint32_t baud) { [[maybe_unused]] const bool ok = Configure(baud); }

}  // namespace tw
