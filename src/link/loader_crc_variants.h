#pragma once
// The fast CRC methods behind LoaderCrc, each callable on its own so tests hold it to the reference.

#include <cstddef>
#include <cstdint>

namespace tw {

[[nodiscard]] std::uint32_t LoaderCrcSlice8(const std::uint8_t* data, std::size_t count, std::uint32_t crc = 0);

// Carry-less multiply folding; call only where HasCarrylessMultiply() holds.
[[nodiscard]] std::uint32_t LoaderCrcClmul(const std::uint8_t* data, std::size_t count, std::uint32_t crc = 0);

[[nodiscard]] bool HasCarrylessMultiply();

}  // namespace tw
