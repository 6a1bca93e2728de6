#pragma once
// Bytes in memory, optionally standing for a longer (sparse) file whose remaining bytes read as zero.

#include <cstdint>
#include <span>

#include "media/byte_source.h"

namespace tw {

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> bytes);
  // size below bytes.size() cuts the bytes; above it, the rest of the file reads as zeros.
  MemoryByteSource(std::span<const std::uint8_t> bytes, std::uint64_t size);

  [[nodiscard]] std::uint64_t Size() const override { return m_size; }
  [[nodiscard]] std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  std::span<const std::uint8_t> m_bytes;
  std::uint64_t m_size;
};

}  // namespace tw
