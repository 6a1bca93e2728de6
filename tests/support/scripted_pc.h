#pragma once
// The PC's side of the loader conversation, built straight from the wire format (not from the link
// code under test), and a reader that cuts the box's output into reply frames and upload data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "link/wire_format.h"

namespace tw::test {

using Bytes = std::vector<std::uint8_t>;

struct BoxReply {
  std::uint8_t code = 0;
  std::uint8_t parameter = 0;
  friend bool operator==(const BoxReply&, const BoxReply&) = default;
};

class ScriptedPc {
 public:
  [[nodiscard]] static Bytes Handshake();
  [[nodiscard]] static Bytes SetSpeed(std::uint8_t speedIndex);
  [[nodiscard]] static Bytes SpeedConfirm();
  [[nodiscard]] static Bytes UploadAck();
  [[nodiscard]] static Bytes Request(bool download, Mode mode, std::uint32_t address, std::uint32_t size,
                                     std::string_view model = {});

  // File and media blocks, numbered as the PC numbers them: new blocks counter % 255 (then the byte
  // counter counts on), a resend the counter as it stands.
  [[nodiscard]] Bytes FirstBlock(std::span<const std::uint8_t> data);
  [[nodiscard]] Bytes NextBlock(std::span<const std::uint8_t> data);
  [[nodiscard]] Bytes ResendBlock(std::span<const std::uint8_t> data) const;
  // Hex-viewer blocks always carry sequence 0.
  [[nodiscard]] static Bytes ViewerBlock(std::span<const std::uint8_t> data);
  // The same frame with its first payload byte changed, so its CRC no longer matches.
  [[nodiscard]] static Bytes Corrupted(Bytes frame);

  // Media header record: 0 name | 256 length BE | 260 duration BE | 268 ID3v1 | 399 content type.
  [[nodiscard]] static Bytes MediaRecord(std::string_view name, std::uint32_t length, std::uint32_t duration,
                                         std::uint8_t contentType);

 private:
  [[nodiscard]] static Bytes Block(std::uint8_t sequence, std::span<const std::uint8_t> data);

  std::uint8_t m_counter = 0;
};

class BoxOutput {
 public:
  void Append(const std::uint8_t* data, std::size_t size);
  [[nodiscard]] std::size_t Pending() const { return m_bytes.size() - m_pos; }
  [[nodiscard]] std::optional<BoxReply> NextReply();
  [[nodiscard]] Bytes TakeData(std::size_t count);
  // Every whole reply frame still pending.
  [[nodiscard]] std::vector<BoxReply> Replies();

 private:
  Bytes m_bytes;
  std::size_t m_pos = 0;
};

}  // namespace tw::test
