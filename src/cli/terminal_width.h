#pragma once

#include <cstddef>
#include <cstdio>

namespace tw {

// The columns of the terminal behind `out`; 80 when it has none or will not say.
[[nodiscard]] std::size_t TerminalWidth(std::FILE* out);

}  // namespace tw
