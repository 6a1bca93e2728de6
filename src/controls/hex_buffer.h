#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// The viewer's byte buffer. "No data" and "zero bytes" are different states: the owner's Clear gives
// the first, deleting every byte gives the second.
class HexBuffer {
 public:
  // Grows to index + 1 bytes (keeping the first index) and stores value; capacity grows
  // geometrically so filling n bytes costs O(n).
  void AppendByte(std::uint8_t value, std::uint32_t index);
  // Bytes beyond what was appended read as zero rather than past the end.
  void SetLength(std::uint32_t n);
  void Clear();

  [[nodiscard]] bool HasData() const { return m_hasData; }
  [[nodiscard]] const std::uint8_t* Data() const { return m_hasData ? m_bytes.data() : nullptr; }
  [[nodiscard]] std::uint32_t Length() const { return m_length; }
  [[nodiscard]] std::uint8_t At(std::uint32_t offset) const { return m_bytes[offset]; }
  [[nodiscard]] std::span<const std::uint8_t> Range(std::uint32_t start, std::uint32_t end) const;

  void Set(std::uint32_t offset, std::uint8_t value) { m_bytes[offset] = value; }
  void Erase(std::uint32_t start, std::uint32_t end);
  // Returns false (and changes nothing) when the length would overflow.
  [[nodiscard]] bool InsertZeros(std::uint32_t pos, std::uint32_t n);
  void Overwrite(std::uint32_t pos, std::span<const std::uint8_t> bytes);

 private:
  std::vector<std::uint8_t> m_bytes;  // size() >= m_length whenever there is data
  std::uint32_t m_length = 0;
  bool m_hasData = false;
};

}  // namespace tw
