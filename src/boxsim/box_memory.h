#pragma once
// The box's memories: SDRAM, the flash window, EEPROM, the database, the boot area and the program slot.

#include <array>
#include <cstdint>
#include <filesystem>

#include "boxsim/sparse_memory.h"
#include "link/wire_format.h"

namespace tw {

inline constexpr std::uint32_t kSdramBase = 0x00000000;
inline constexpr std::uint64_t kSdramSize = 32ull << 20;
inline constexpr std::uint32_t kFlashBase = 0x7F000000;
inline constexpr std::uint64_t kFlashSize = 16ull << 20;  // up to 0x7FFFFFFF
inline constexpr std::uint64_t kEepromSize = 16ull << 10;
inline constexpr std::uint64_t kProgramSlotSize = 16ull << 20;
inline constexpr std::uint8_t kErased = 0xFF;

class BoxMemory {
 public:
  BoxMemory();

  // The area a mode's data goes to or comes from; null for the media modes, which go to the disk.
  [[nodiscard]] SparseMemory* RegionFor(Mode mode);
  [[nodiscard]] const SparseMemory* RegionFor(Mode mode) const;

  // Program images, boot images and media go to fixed slots: the request's address is not theirs.
  [[nodiscard]] static bool IsAddressed(Mode mode);

  // One page file per area in dir; Save writes only the areas changed since the last Load or Save.
  [[nodiscard]] bool Load(const std::filesystem::path& dir);
  [[nodiscard]] bool Save(const std::filesystem::path& dir);

 private:
  enum Area : std::size_t { kSdram, kFlash, kEeprom, kDatabase, kBoot, kProgram, kAreaCount };

  [[nodiscard]] static std::size_t AreaFor(Mode mode);
  [[nodiscard]] static std::filesystem::path FileFor(const std::filesystem::path& dir, const SparseMemory& area);

  std::array<SparseMemory, kAreaCount> m_areas;
};

}  // namespace tw
