#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "link/wire_format.h"

namespace tw {

struct ReplyFrame {
  std::array<std::uint8_t, kReplySize> bytes{};
  [[nodiscard]] std::uint8_t Code() const { return bytes[2]; }
  [[nodiscard]] std::uint8_t Parameter() const { return bytes[1]; }
};

// Turns the received byte stream into 8-byte reply frames, pulled one at a time, so that a reply split
// over two reads is handled once and joined replies are all handled. While an upload runs the caller
// pulls data bytes instead (TakeData), so bytes right behind RPL_UPLOAD_DATA reach the upload in order.
class ReplyFramer {
 public:
  static constexpr std::chrono::milliseconds kStaleAfter{200};

  // `silence` is how long the line was quiet before these bytes. A partial frame followed by at least
  // `kStaleAfter` of it is dropped first: noise must not shift every later frame. Time the PC spent
  // elsewhere never counts, so a slow operator cannot lose a reply.
  void Append(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds silence);
  [[nodiscard]] bool NextFrame(ReplyFrame& out);
  std::size_t TakeData(std::uint8_t* out, std::size_t max);
  [[nodiscard]] std::size_t Buffered() const;
  void Clear();

 private:
  std::deque<std::uint8_t> m_bytes;
};

}  // namespace tw
