#pragma once
// The loader CRC: polynomial 0x04C11DB7, initial value 0, not reflected, no final XOR.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tw {

using CrcTable = std::array<std::uint32_t, 256>;

// Entry i: i in the top byte, shifted left eight times with the polynomial folded in.
[[nodiscard]] const CrcTable& LoaderCrcTable();

// The reference method: one table lookup per byte.
[[nodiscard]] std::uint32_t LoaderCrcReference(const std::uint8_t* data, std::size_t count, std::uint32_t crc = 0);

// The fast method (slice-by-8, or carry-less multiply folding where the CPU has it); identical results.
[[nodiscard]] std::uint32_t LoaderCrc(const std::uint8_t* data, std::size_t count, std::uint32_t crc = 0);

// The loader's entry point: a count below 1 gives 0.
[[nodiscard]] std::uint32_t Crc(const std::uint8_t* data, long count);

}  // namespace tw
