#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw {

// The hex viewer's buffer: what a memory download sends, and where a memory upload lands.
class ViewerBuffer {
 public:
  virtual ~ViewerBuffer() = default;

  [[nodiscard]] virtual std::vector<std::uint8_t> ViewerData() = 0;
  // An upload from `address` is about to be asked for: the old bytes go.
  virtual void ViewerBeginUpload(std::uint32_t address) = 0;
  virtual void ViewerShowUpload(const std::uint8_t* data, std::size_t count) = 0;
};

}  // namespace tw
