#include "link/loader_link.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "link/loader_crc.h"

namespace tw {

namespace {

constexpr std::uint8_t kByteSize = 8;
constexpr StopBits kOneStopBit = StopBits::One;
constexpr Parity kNoParity = Parity::None;
constexpr std::chrono::milliseconds kReconnectPause{50};
constexpr std::size_t kHeaderCrcOffset = 3;
constexpr std::size_t kHeaderSequenceOffset = 1;
constexpr std::size_t kHeaderParameterOffset = 7;
constexpr std::uint8_t kSequenceModulus = 255;

void PutCrc(CommandHeader& header, const std::uint8_t* payload, std::size_t count) {
  PutBigEndian32(header.data() + kHeaderCrcOffset, LoaderCrc(payload, count));
}

}  // namespace

bool LoaderLink::Connect(ComPort port, LineSpeed speed, ChunkSink* owner) {
  SetOwner(owner);
  CreateEvents();
  Open(port.number, BaudFor(speed), kByteSize, kOneStopBit, kNoParity);
  return IsConnected();
}

bool LoaderLink::Reconnect(ComPort port, LineSpeed speed) {
  Close();
  // The box switches its own line after the confirmation; give it that moment.
  std::this_thread::sleep_for(kReconnectPause);
  CreateEvents();
  Open(port.number, BaudFor(speed), kByteSize, kOneStopBit, kNoParity);
  return IsConnected();
}

void LoaderLink::SendHandshake() { Send(kHandshake.data(), kHandshake.size()); }

void LoaderLink::SendRequest(Mode mode, bool download, std::uint32_t address) {
  auto header = NewHeader(download ? cmd::kDownloadRequest : cmd::kUploadRequest);
  std::array<std::uint8_t, kRequestPayloadSize> payload{};
  std::copy_n(m_modelName.begin(), kModelNameSize, payload.begin());
  PutBigEndian32(payload.data() + kRequestAddressOffset, address);
  PutBigEndian32(payload.data() + kRequestSizeOffset, m_transferSize);
  payload[kRequestTargetOffset] = static_cast<std::uint8_t>(static_cast<int>(mode) + 1);
  PutCrc(header, payload.data(), payload.size());
  Send(header.data(), header.size());
  Send(payload.data(), payload.size());
}

// The numbering quirks are the box's: new blocks count modulo 255 from a byte counter (so 0 comes twice
// at each wrap), and a resend carries the counter as it stands, i.e. the next new block's number.
std::uint32_t LoaderLink::SendDataBlock(const std::uint8_t* data, std::uint32_t remaining, BlockKind kind) {
  if (kind == BlockKind::First) {
    m_sequence = 0;
  }
  const std::size_t n = std::min<std::size_t>(remaining, kBlockSize);
  std::array<std::uint8_t, kHeaderSize + kBlockSize> frame{};
  auto header = NewHeader(cmd::kDataBlock);
  PutCrc(header, data, n);
  if (kind == BlockKind::Resend) {
    header[kHeaderSequenceOffset] = m_sequence;
  } else {
    header[kHeaderSequenceOffset] = static_cast<std::uint8_t>(m_sequence % kSequenceModulus);
    ++m_sequence;
  }
  std::copy(header.begin(), header.end(), frame.begin());
  if (n > 0) {
    std::memcpy(frame.data() + kHeaderSize, data, n);
  }
  Send(frame.data(), kHeaderSize + n);
  return remaining;
}

void LoaderLink::SendViewerDataBlock(const std::uint8_t* data, std::uint32_t count) {
  auto header = NewHeader(cmd::kDataBlock);
  PutCrc(header, data, count);
  Send(header.data(), header.size());
  if (count > 0) {
    Send(data, count);
  }
}

void LoaderLink::SendSpeed(LineSpeed speed) { SendHeader(cmd::kSetSpeed, static_cast<std::uint8_t>(speed)); }

void LoaderLink::SendSpeedConfirm() { SendHeader(cmd::kSpeedConfirm); }

void LoaderLink::SendUploadAck() { SendHeader(cmd::kUploadAck); }

void LoaderLink::SendHeader(std::uint8_t code, std::uint8_t parameter) {
  auto header = NewHeader(code);
  header[kHeaderParameterOffset] = parameter;
  Send(header.data(), header.size());
}

void LoaderLink::SetTransferSize(std::uint32_t size) { m_transferSize = size; }

std::uint32_t LoaderLink::TransferSize() const { return m_transferSize; }

LoaderLink::ModelName& LoaderLink::ModelNameField() { return m_modelName; }

std::uint8_t LoaderLink::SequenceCounter() const { return m_sequence; }

}  // namespace tw
