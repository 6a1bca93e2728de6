#pragma once

#include <vector>

#include "session/block_source.h"

namespace tw {

// Bytes held in memory: the hex viewer's buffer as the download started, or a converted photo.
class MemorySource final : public BlockSource {
 public:
  MemorySource(std::vector<std::uint8_t> bytes, std::string name)
      : m_bytes(std::move(bytes)), m_name(std::move(name)) {}

  [[nodiscard]] std::uint64_t Size() const override { return m_bytes.size(); }
  [[nodiscard]] bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) override;
  [[nodiscard]] const std::string& Name() const override { return m_name; }

 private:
  std::vector<std::uint8_t> m_bytes;
  std::string m_name;
};

}  // namespace tw
