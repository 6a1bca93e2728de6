// The reply framer on arbitrary reads: the first byte of each step picks how the engine pulls (frames
// or upload data) and how long the line was quiet before the read. No byte is invented, none read past a buffer, and
// only a stale partial frame is ever dropped.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/reply_framer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tw::ReplyFramer framer;
  std::size_t in = 0;
  std::size_t out = 0;
  std::size_t dropped = 0;
  while (size >= 2) {
    const std::uint8_t control = data[0];
    const std::size_t count = std::min<std::size_t>(data[1] % 32, size - 2);
    data += 2;
    size -= 2;
    const std::chrono::milliseconds silence((control & 0x0F) * 20);
    const std::size_t before = framer.Buffered();
    const bool partial = before > 0 && before < tw::kReplySize;
    framer.Append(data, count, silence);
    const std::size_t lost = before + count - framer.Buffered();
    if (lost != 0 && !(partial && lost == before)) {
      std::abort();
    }
    dropped += lost;
    in += count;
    data += count;
    size -= count;
    if ((control & 0x10) != 0) {
      std::array<std::uint8_t, 64> sink{};
      out += framer.TakeData(sink.data(), (control >> 5) * 9);
    }
    tw::ReplyFrame frame;
    while ((control & 0x10) == 0 && framer.NextFrame(frame)) {
      out += tw::kReplySize;
    }
  }
  if (in != out + dropped + framer.Buffered()) {
    std::abort();
  }
  return 0;
}
