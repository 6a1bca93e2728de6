#include "support/scripted_pc.h"

#include <algorithm>

#include "link/loader_crc.h"

namespace tw::test {

namespace {

Bytes Header(std::uint8_t code) { return Bytes{kHeaderMagic, 0, code, 0, 0, 0, 0, 0}; }

void PutCrc(Bytes& frame, std::span<const std::uint8_t> payload) {
  PutBigEndian32(frame.data() + 3, LoaderCrcReference(payload.data(), payload.size()));
}

}  // namespace

Bytes ScriptedPc::Handshake() { return Bytes(kHandshake.begin(), kHandshake.end()); }

Bytes ScriptedPc::SetSpeed(std::uint8_t speedIndex) {
  Bytes frame = Header(cmd::kSetSpeed);
  frame[7] = speedIndex;
  return frame;
}

Bytes ScriptedPc::SpeedConfirm() { return Header(cmd::kSpeedConfirm); }

Bytes ScriptedPc::UploadAck() { return Header(cmd::kUploadAck); }

Bytes ScriptedPc::Request(bool download, Mode mode, std::uint32_t address, std::uint32_t size, std::string_view model) {
  Bytes payload(kRequestPayloadSize, 0);
  std::copy_n(model.begin(), std::min(model.size(), kModelNameSize), payload.begin());
  PutBigEndian32(payload.data() + kRequestAddressOffset, address);
  PutBigEndian32(payload.data() + kRequestSizeOffset, size);
  payload[kRequestTargetOffset] = static_cast<std::uint8_t>(static_cast<int>(mode) + 1);
  Bytes frame = Header(download ? cmd::kDownloadRequest : cmd::kUploadRequest);
  PutCrc(frame, payload);
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

Bytes ScriptedPc::Block(std::uint8_t sequence, std::span<const std::uint8_t> data) {
  Bytes frame = Header(cmd::kDataBlock);
  frame[1] = sequence;
  PutCrc(frame, data);
  frame.insert(frame.end(), data.begin(), data.end());
  return frame;
}

Bytes ScriptedPc::FirstBlock(std::span<const std::uint8_t> data) {
  m_counter = 0;
  return NextBlock(data);
}

Bytes ScriptedPc::NextBlock(std::span<const std::uint8_t> data) {
  const auto sequence = static_cast<std::uint8_t>(m_counter % 255);
  ++m_counter;
  return Block(sequence, data);
}

Bytes ScriptedPc::ResendBlock(std::span<const std::uint8_t> data) const { return Block(m_counter, data); }

Bytes ScriptedPc::ViewerBlock(std::span<const std::uint8_t> data) { return Block(0, data); }

Bytes ScriptedPc::Corrupted(Bytes frame) {
  if (frame.size() > kHeaderSize) {
    frame[kHeaderSize] ^= 0x5A;
  }
  return frame;
}

Bytes ScriptedPc::MediaRecord(std::string_view name, std::uint32_t length, std::uint32_t duration,
                              std::uint8_t contentType) {
  Bytes record(1024, 0);
  std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 255), record.begin());
  PutBigEndian32(record.data() + 256, length);
  PutBigEndian32(record.data() + 260, duration);
  record[399] = contentType;
  return record;
}

void BoxOutput::Append(const std::uint8_t* data, std::size_t size) { m_bytes.insert(m_bytes.end(), data, data + size); }

std::optional<BoxReply> BoxOutput::NextReply() {
  if (Pending() < kReplySize) {
    return std::nullopt;
  }
  const BoxReply reply{m_bytes[m_pos + 2], m_bytes[m_pos + 1]};  // 1 parameter | 2 code
  m_pos += kReplySize;
  return reply;
}

Bytes BoxOutput::TakeData(std::size_t count) {
  count = std::min(count, Pending());
  Bytes data(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
             m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + count));
  m_pos += count;
  return data;
}

std::vector<BoxReply> BoxOutput::Replies() {
  std::vector<BoxReply> replies;
  while (const auto reply = NextReply()) {
    replies.push_back(*reply);
  }
  return replies;
}

}  // namespace tw::test
