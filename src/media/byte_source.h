#pragma once
// Random-access reads from a file or from memory, so the MP3 inspection can be fed either.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tw {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  [[nodiscard]] virtual std::uint64_t Size() const = 0;
  // Fills out from offset on; returns how many bytes arrived (fewer at the end of the source).
  [[nodiscard]] virtual std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

}  // namespace tw
