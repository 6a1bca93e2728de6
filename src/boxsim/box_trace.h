#pragma once
// The box's trace: one timestamped, decoded line per frame in either direction.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/wire_format.h"

namespace tw {

class BoxTrace {
 public:
  explicit BoxTrace(std::function<void(std::string_view)> sink);

  [[nodiscard]] bool Enabled() const { return static_cast<bool>(m_sink); }

  void Handshake();
  void Command(const CommandHeader& header, std::string_view note);
  void Request(bool download, Mode mode, std::uint32_t address, std::uint32_t size, std::string_view model);
  void Reply(std::uint8_t code, std::uint8_t parameter);
  void UploadData(std::size_t size);
  void Note(std::string_view text);

 private:
  void Line(std::string_view direction, std::string_view text);

  std::function<void(std::string_view)> m_sink;
  std::chrono::steady_clock::time_point m_start;
};

}  // namespace tw
