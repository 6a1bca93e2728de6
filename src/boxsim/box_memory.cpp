#include "boxsim/box_memory.h"

#include <system_error>

namespace tw {

namespace {

constexpr std::size_t kNoArea = static_cast<std::size_t>(-1);

}  // namespace

BoxMemory::BoxMemory()
    : m_areas{SparseMemory("sdram", kSdramBase, kSdramSize, 0x00),
              SparseMemory("flash", kFlashBase, kFlashSize, kErased),
              SparseMemory("eeprom", 0, kEepromSize, kErased),
              SparseMemory("database", kDatabaseAddress, kDatabaseSize, kErased),
              SparseMemory("boot", 0, kBootSize, kErased),
              SparseMemory("program", 0, kProgramSlotSize, kErased)} {}

std::size_t BoxMemory::AreaFor(Mode mode) {
  switch (mode) {
    case Mode::Sdram:
      return kSdram;
    case Mode::Flash:
      return kFlash;
    case Mode::Eeprom:
      return kEeprom;
    case Mode::Database:
      return kDatabase;
    case Mode::Boot:
      return kBoot;
    case Mode::Program:
    case Mode::GzipProgram:
      return kProgram;
    case Mode::Mp3:
    case Mode::Photo:
    case Mode::Background:
      break;
  }
  return kNoArea;
}

SparseMemory* BoxMemory::RegionFor(Mode mode) {
  const std::size_t area = AreaFor(mode);
  return area == kNoArea ? nullptr : &m_areas[area];
}

const SparseMemory* BoxMemory::RegionFor(Mode mode) const {
  const std::size_t area = AreaFor(mode);
  return area == kNoArea ? nullptr : &m_areas[area];
}

bool BoxMemory::IsAddressed(Mode mode) {
  return mode == Mode::Sdram || mode == Mode::Flash || mode == Mode::Eeprom || mode == Mode::Database;
}

std::filesystem::path BoxMemory::FileFor(const std::filesystem::path& dir, const SparseMemory& area) {
  return dir / (area.Name() + ".mem");
}

bool BoxMemory::Load(const std::filesystem::path& dir) {
  bool ok = true;
  for (auto& area : m_areas) {
    ok = area.Load(FileFor(dir, area)) && ok;
  }
  return ok;
}

bool BoxMemory::Save(const std::filesystem::path& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  bool ok = !error;
  for (auto& area : m_areas) {
    if (area.Dirty()) {
      ok = area.Save(FileFor(dir, area)) && ok;
    }
  }
  return ok;
}

}  // namespace tw
