#pragma once
// Test data: bytes that differ from place to place and from seed to seed, and gzip program images.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::test {

using Bytes = std::vector<std::uint8_t>;

[[nodiscard]] inline Bytes Pattern(std::size_t count, unsigned seed = 1) {
  Bytes bytes(count);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return bytes;
}

// A gzip program image as the loader takes it: the gzip mark, then pattern bytes.
[[nodiscard]] inline Bytes GzipImage(std::size_t size, unsigned seed = 1) {
  Bytes image = Pattern(size, seed);
  image[0] = 0x1F;
  image[1] = 0x8B;
  return image;
}

}  // namespace tw::test
