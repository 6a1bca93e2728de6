#include "boxsim/box_trace.h"

#include <cstdio>

namespace tw {

namespace {

constexpr std::string_view kFromPc = "PC>BOX";
constexpr std::string_view kToPc = "BOX>PC";
constexpr std::string_view kInside = "BOX   ";

std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    out.push_back(code >= 0x20 && code < 0x7F ? c : '.');
  }
  return out;
}

}  // namespace

BoxTrace::BoxTrace(std::function<void(std::string_view)> sink)
    : m_sink(std::move(sink)), m_start(std::chrono::steady_clock::now()) {}

void BoxTrace::Line(std::string_view direction, std::string_view text) {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%11.6f ", elapsed.count());
  std::string line(stamp);
  line.append(direction).append(" ").append(text);
  m_sink(line);
}

void BoxTrace::Handshake() {
  if (Enabled()) {
    Line(kFromPc, "handshake \\ncom_pc");
  }
}

void BoxTrace::Command(const CommandHeader& header, std::string_view note) {
  if (!Enabled()) {
    return;
  }
  char text[160];
  std::snprintf(text, sizeof text, "%s (0x%02X) seq=%u crc=0x%08X param=%u", CommandName(header[2]).data(), header[2],
                header[1], GetBigEndian32(header.data() + 3), header[7]);
  std::string line(text);
  if (!note.empty()) {
    line.append(" ").append(note);
  }
  Line(kFromPc, line);
}

void BoxTrace::Request(bool download, Mode mode, std::uint32_t address, std::uint32_t size, std::string_view model) {
  if (!Enabled()) {
    return;
  }
  const auto index = static_cast<std::size_t>(mode);
  char text[200];
  std::snprintf(text, sizeof text, "  request %s %s address=0x%08X size=%u model=\"%s\"",
                download ? "download" : "upload", index < kModeNames.size() ? kModeNames[index].data() : "?", address,
                size, Printable(model).c_str());
  Line(kFromPc, text);
}

void BoxTrace::Reply(std::uint8_t code, std::uint8_t parameter) {
  if (Enabled()) {
    char text[96];
    std::snprintf(text, sizeof text, "%s (0x%02X) param=%u", ReplyName(code).data(), code, parameter);
    Line(kToPc, text);
  }
}

void BoxTrace::UploadData(std::size_t size) {
  if (Enabled()) {
    Line(kToPc, "  upload data " + std::to_string(size) + " bytes");
  }
}

void BoxTrace::Note(std::string_view text) {
  if (Enabled()) {
    Line(kInside, text);
  }
}

}  // namespace tw
