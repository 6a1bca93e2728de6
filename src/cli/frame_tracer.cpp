#include "cli/frame_tracer.h"

#include <algorithm>
#include <string>

#include "link/wire_format.h"

namespace tw {

namespace {

constexpr std::size_t kShownBytes = 16;

std::string Hex(const std::uint8_t* data, std::size_t count) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < std::min(count, kShownBytes); ++i) {
    std::snprintf(byte, sizeof byte, "%02X ", data[i]);
    text += byte;
  }
  if (count > kShownBytes) {
    text += "...";
  }
  return text;
}

bool IsHandshake(const std::uint8_t* data, std::size_t count) {
  return count == kHandshake.size() && std::equal(kHandshake.begin(), kHandshake.end(), data);
}

}  // namespace

void FrameTracer::Trace(bool fromPc, const std::uint8_t* data, std::size_t count) {
  const std::lock_guard lock(m_mutex);
  fromPc ? TracePc(data, count) : TraceBox(data, count);
}

void FrameTracer::TracePc(const std::uint8_t* data, std::size_t count) {
  if (IsHandshake(data, count)) {
    Line("PC ->", "handshake", data, count);
    return;
  }
  if (count >= kHeaderSize && data[0] == kHeaderMagic) {
    char what[96];
    std::snprintf(what, sizeof what, "%s seq=%u crc=%08X param=%u payload=%zu",
                  std::string(CommandName(data[2])).c_str(), data[1], GetBigEndian32(data + 3), data[7],
                  count - kHeaderSize);
    Line("PC ->", what, data, count);
    return;
  }
  Line("PC ->", "payload", data, count);
}

void FrameTracer::TraceBox(const std::uint8_t* data, std::size_t count) {
  if (count == kReplySize) {
    char what[64];
    std::snprintf(what, sizeof what, "%s param=%u", std::string(ReplyName(data[2])).c_str(), data[1]);
    Line("<- BOX", what, data, count);
    return;
  }
  Line("<- BOX", "bytes", data, count);
}

void FrameTracer::Line(const char* direction, const char* what, const std::uint8_t* data, std::size_t count) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  char head[128];
  std::snprintf(head, sizeof head, "%10.6f %s %s (%zu bytes) ", seconds, direction, what, count);
  WriteLine(m_out, m_tag, head + Hex(data, count));
}

}  // namespace tw
