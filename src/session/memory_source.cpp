#include "session/memory_source.h"

#include <algorithm>

namespace tw {

bool MemorySource::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
    return false;
  }
  std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out);
  return true;
}

}  // namespace tw
