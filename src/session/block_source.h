#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {

// Where the bytes of a download come from: chosen once when the operation is accepted.
class BlockSource {
 public:
  virtual ~BlockSource() = default;

  [[nodiscard]] virtual std::uint64_t Size() const = 0;
  // Fills `out` with exactly `count` bytes from `offset`; false when the source cannot give them all.
  [[nodiscard]] virtual bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) = 0;
  // What the operator calls it, for messages.
  [[nodiscard]] virtual const std::string& Name() const = 0;
};

}  // namespace tw
