#include "boxsim/sparse_memory.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "link/wire_format.h"

namespace tw {

namespace {

constexpr std::array<char, 8> kMagic{'T', 'W', 'M', 'E', 'M', '1', '\0', '\0'};

}  // namespace

SparseMemory::SparseMemory(std::string name, std::uint32_t base, std::uint64_t size, std::uint8_t fill)
    : m_name(std::move(name)), m_base(base), m_size(size), m_fill(fill) {}

bool SparseMemory::Contains(std::uint64_t address, std::uint64_t count) const {
  return address >= m_base && address - m_base <= m_size && count <= m_size - (address - m_base);
}

void SparseMemory::Read(std::uint64_t address, std::uint8_t* out, std::size_t count) const {
  std::uint64_t offset = address - m_base;
  while (count > 0) {
    const auto index = static_cast<std::uint32_t>(offset / kPageSize);
    const std::size_t within = offset % kPageSize;
    const std::size_t n = std::min(count, kPageSize - within);
    const auto page = m_pages.find(index);
    if (page == m_pages.end()) {
      std::fill_n(out, n, m_fill);
    } else {
      std::copy_n(page->second.begin() + static_cast<std::ptrdiff_t>(within), n, out);
    }
    out += n;
    offset += n;
    count -= n;
  }
}

void SparseMemory::Write(std::uint64_t address, const std::uint8_t* data, std::size_t count) {
  std::uint64_t offset = address - m_base;
  m_dirty = m_dirty || count > 0;
  while (count > 0) {
    const auto index = static_cast<std::uint32_t>(offset / kPageSize);
    const std::size_t within = offset % kPageSize;
    const std::size_t n = std::min(count, kPageSize - within);
    auto [page, added] = m_pages.try_emplace(index);
    if (added) {
      page->second.assign(kPageSize, m_fill);
    }
    std::copy_n(data, n, page->second.begin() + static_cast<std::ptrdiff_t>(within));
    data += n;
    offset += n;
    count -= n;
  }
}

bool SparseMemory::Save(const std::filesystem::path& file) {
  // Written aside and renamed, so a crash never leaves half a memory behind.
  const std::filesystem::path temporary = file.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(kMagic.data(), kMagic.size());
    for (const auto& [index, page] : m_pages) {
      std::array<std::uint8_t, 4> number{};
      PutBigEndian32(number.data(), index);
      out.write(reinterpret_cast<const char*>(number.data()), number.size());
      out.write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
    }
    if (!out.flush()) {
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  m_dirty = m_dirty && static_cast<bool>(error);
  return !error;
}

bool SparseMemory::Load(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return !std::filesystem::exists(file);
  }
  std::array<char, kMagic.size()> magic{};
  if (!in.read(magic.data(), magic.size()) || magic != kMagic) {
    return false;
  }
  std::map<std::uint32_t, Page> pages;
  const std::uint64_t pageCount = (m_size + kPageSize - 1) / kPageSize;
  std::array<std::uint8_t, 4> number{};
  while (in.read(reinterpret_cast<char*>(number.data()), number.size())) {
    const std::uint32_t index = GetBigEndian32(number.data());
    Page page(kPageSize);
    if (index >= pageCount ||
        !in.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()))) {
      return false;
    }
    pages[index] = std::move(page);
  }
  if (in.gcount() != 0) {
    return false;
  }
  m_pages = std::move(pages);
  m_dirty = false;
  return true;
}

}  // namespace tw
