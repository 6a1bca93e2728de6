#pragma once
// Puts the box's replies and upload data on the line, with the split and join faults applied.

#include <cstdint>
#include <random>
#include <vector>

#include "boxsim/box_line.h"
#include "boxsim/box_options.h"
#include "boxsim/box_trace.h"

namespace tw {

class ReplySender {
 public:
  ReplySender(BoxLine& line, const BoxFaults& faults, std::uint32_t seed, BoxTrace& trace);

  // Reply frame: 0 0x47 | 1 parameter | 2 code | 3..7 zero
  void Reply(std::uint8_t code, std::uint8_t parameter = 0);
  void Data(const std::uint8_t* data, std::size_t size);
  // Hands whatever the join fault holds back to the line; the box calls it before it waits.
  void Flush();

 private:
  void Emit(const std::uint8_t* data, std::size_t size);
  void EmitInFragments(const std::uint8_t* data, std::size_t size);

  BoxLine& m_line;
  const BoxFaults& m_faults;
  BoxTrace& m_trace;
  std::mt19937 m_random;
  std::vector<std::uint8_t> m_held;
};

}  // namespace tw
