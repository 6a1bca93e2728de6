#pragma once
// What the box's loader needs of the line it talks on.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tw {

class BoxLine {
 public:
  virtual ~BoxLine() = default;
  virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
  // Settle times and fragment gaps; the line decides whether time really passes.
  virtual void Pause(std::chrono::milliseconds duration) = 0;
  virtual void SetBaud(std::uint32_t baud) = 0;
};

}  // namespace tw
