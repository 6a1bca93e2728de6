#include "link/serial_comm.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "link/reply_framer.h"
#include "link/serial_backend.h"

namespace tw {

namespace {

// Silence is counted only as a wait that passed its whole limit with nothing received: a wait that
// ends because bytes came counts nothing, so a reader that runs late on a busy machine never mistakes
// the delay for a quiet line. Once the framer's limit is reached more silence changes nothing, and an
// idle line is waited on without waking.
constexpr std::chrono::milliseconds kQuietEnough = ReplyFramer::kStaleAfter;
constexpr int kNamedPorts = 5;  // port numbers 1..5 are serial devices, above that the pseudo-device
#ifdef _WIN32
constexpr const char* kPseudoDevice = R"(\\.\TELNET)";  // the backend falls back to TCP where it is missing
#else
constexpr const char* kPseudoDevice = CSerialComm::kDefaultPseudoDevice;
#endif

}  // namespace

std::string CantOpenPortMessage(int portNumber) {
  char text[64];
  std::snprintf(text, sizeof text, kCantOpenPortFormat, portNumber);
  return text;
}

std::optional<TcpTarget> ParseTcpTarget(std::string_view target) {
  const auto colon = target.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == target.size()) {
    return std::nullopt;
  }
  return TcpTarget{std::string(target.substr(0, colon)), std::string(target.substr(colon + 1))};
}

CSerialComm::CSerialComm() = default;

CSerialComm::~CSerialComm() { Close(); }

void CSerialComm::SetOwner(ChunkSink* owner) { m_owner = owner; }

void CSerialComm::SetParams(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, StopBits stopBits,
                            Parity parity) {
  m_port = port;
  m_line = LineSettings{baud, byteSize, stopBits, parity};
}

// The wake-up pipe belongs to each open device, so there is nothing to create ahead of Open.
bool CSerialComm::CreateEvents() { return true; }

bool CSerialComm::Open(std::uint8_t port, std::uint32_t baud, std::uint8_t byteSize, StopBits stopBits, Parity parity) {
  ClosePort();  // never two readers on one object
  SetParams(port, baud, byteSize, stopBits, parity);
  const std::string device = DevicePathFor(port);
  if (device.empty()) {
    return FailOpen(ENODEV, device);
  }
  m_backend = MakeBackend();
  if (const int error = m_backend->Open(device); error != 0) {
    return FailOpen(error, device);
  }
  m_backend->Purge();
  if (!Configure()) {
    return FailOpen(EINVAL, device);
  }
  m_backend->Purge();
  m_lastError = PortOpenError{0, device};
  m_connected = true;
  StartReader();
  return true;
}

bool CSerialComm::FailOpen(int error, const std::string& device) {
  if (m_backend) {
    m_backend->Close();
    m_backend.reset();
  }
  m_lastError = PortOpenError{error, device};
  if (!m_connected && m_owner != nullptr) {
    m_owner->ShowPortMessage(CantOpenPortMessage(m_port));
  }
  m_connected = false;
  return false;
}

bool CSerialComm::Configure() { return m_backend && m_line.HasValidByteSize() && m_backend->Configure(m_line); }

bool CSerialComm::Send(const std::uint8_t* data, std::size_t count) {
  if (!m_backend) {
    return false;
  }
  if (m_trace) {
    m_trace(true, data, count);
  }
  return m_backend->Write(data, count);
}

void CSerialComm::ClosePort() {
  m_connected = false;
  StopReader();
  if (m_backend) {
    m_backend->Close();
    m_backend.reset();
  }
}

void CSerialComm::Close() { ClosePort(); }

void CSerialComm::ReleaseChunk() {
  {
    const std::lock_guard lock(m_mutex);
    m_pending = 0;
  }
  m_released.notify_all();
}

bool CSerialComm::IsConnected() const { return m_connected; }

const std::uint8_t* CSerialComm::ReceiveBuffer() const { return m_receive.data(); }

std::chrono::milliseconds CSerialComm::ChunkSilence() const {
  const std::lock_guard lock(m_mutex);
  return m_silence;
}

std::uint32_t CSerialComm::BaudRate() const { return m_line.baud; }

void CSerialComm::SetDeviceOverride(int portNumber, std::string device) { m_overrides[portNumber] = std::move(device); }

std::string CSerialComm::DevicePathFor(int portNumber) const {
  if (const auto it = m_overrides.find(portNumber); it != m_overrides.end()) {
    return it->second;
  }
  if (portNumber > kNamedPorts) {
    return kPseudoDevice;
  }
  if (portNumber < 1) {
    return {};
  }
  const auto devices = ListSerialDevices();
  const auto index = static_cast<std::size_t>(portNumber - 1);
  return index < devices.size() ? devices[index] : std::string{};
}

void CSerialComm::SetTrace(TraceFn trace) { m_trace = std::move(trace); }

const PortOpenError& CSerialComm::LastOpenError() const { return m_lastError; }

std::unique_ptr<SerialBackend> CSerialComm::MakeBackend() { return MakeSerialBackend(); }

void CSerialComm::StartReader() {
  std::uint64_t generation = 0;
  {
    const std::lock_guard lock(m_mutex);
    generation = m_generation;
  }
  m_reader = std::thread([this, device = m_backend.get(), owner = m_owner, trace = m_trace, generation] {
    ReaderLoop(*device, owner, trace, generation);
  });
}

// Wakes the reader wherever it waits (poll or the hand-off) and joins it before the device goes.
void CSerialComm::StopReader() {
  if (!m_reader.joinable()) {
    return;
  }
  {
    const std::lock_guard lock(m_mutex);
    ++m_generation;
  }
  m_released.notify_all();
  m_backend->Wake();
  if (m_reader.get_id() == std::this_thread::get_id()) {
    // An owner that closes from inside a notification: the reader is retired and ends as soon as that
    // returns, whatever the owner opens meanwhile.
    m_reader.detach();
  } else {
    m_reader.join();
  }
}

bool CSerialComm::WaitUntilNoChunkPending(std::uint64_t generation) {
  std::unique_lock lock(m_mutex);
  m_released.wait(lock, [&] { return m_generation != generation || m_pending == 0; });
  return m_generation == generation;
}

bool CSerialComm::Retired(std::uint64_t generation) const {
  const std::lock_guard lock(m_mutex);
  return m_generation != generation;
}

void CSerialComm::ReaderLoop(SerialBackend& device, ChunkSink* owner, const TraceFn& trace, std::uint64_t generation) {
  std::chrono::milliseconds silence{};  // an empty read does not end the silence
  while (WaitUntilNoChunkPending(generation)) {
    const WaitResult ready = device.WaitReadable(silence < kQuietEnough ? kQuietEnough - silence : kWaitForever);
    if (ready == WaitResult::TimedOut) {
      silence = kQuietEnough;
      continue;
    }
    if (ready == WaitResult::Woken) {
      return;
    }
    const long count = ready == WaitResult::HangUp ? kReadHangUp : device.Read(m_receive.data(), kMaxChunk);
    if (count == kReadHangUp) {
      LoseLine(owner, generation);
      return;
    }
    if (count == 0 || owner == nullptr) {
      continue;
    }
    const auto length = static_cast<std::size_t>(count);
    m_receive[length] = 0;
    if (trace) {
      trace(false, m_receive.data(), length);
    }
    {
      const std::lock_guard lock(m_mutex);
      m_pending = length;
      m_silence = silence;
    }
    silence = {};
    owner->PostReceivedData(length);
  }
}

void CSerialComm::LoseLine(ChunkSink* owner, std::uint64_t generation) {
  // A hang-up seen while the owner closes the port is no news to the owner.
  if (Retired(generation)) {
    return;
  }
  m_connected = false;
  if (owner != nullptr) {
    owner->PostLineLost();
  }
}

}  // namespace tw
