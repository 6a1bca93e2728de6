#pragma once
// One memory area of the box, allocated a page at a time as it is written, so that 32 MiB of SDRAM
// and the 16 MiB flash window cost only what has been touched.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tw {

class SparseMemory {
 public:
  SparseMemory(std::string name, std::uint32_t base, std::uint64_t size, std::uint8_t fill);

  [[nodiscard]] const std::string& Name() const { return m_name; }
  [[nodiscard]] std::uint32_t Base() const { return m_base; }
  [[nodiscard]] std::uint64_t Size() const { return m_size; }
  [[nodiscard]] bool Dirty() const { return m_dirty; }

  // True when [address, address + count) lies inside the area; addresses are absolute.
  [[nodiscard]] bool Contains(std::uint64_t address, std::uint64_t count) const;

  // Both require Contains(address, count).
  void Read(std::uint64_t address, std::uint8_t* out, std::size_t count) const;
  void Write(std::uint64_t address, const std::uint8_t* data, std::size_t count);

  // Page file: "TWMEM1\0\0", then per touched page its index (big-endian 32) and its bytes.
  [[nodiscard]] bool Save(const std::filesystem::path& file);
  // A missing file leaves the area erased; a damaged one is rejected and changes nothing.
  [[nodiscard]] bool Load(const std::filesystem::path& file);

  static constexpr std::size_t kPageSize = 4096;

 private:
  using Page = std::vector<std::uint8_t>;

  std::string m_name;
  std::uint32_t m_base;
  std::uint64_t m_size;
  std::uint8_t m_fill;
  std::map<std::uint32_t, Page> m_pages;
  bool m_dirty = false;
};

}  // namespace tw
