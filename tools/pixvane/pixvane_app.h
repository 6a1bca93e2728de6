#pragma once
// The converter's command line: PIXVANE.EXE <photo> <still path> <0|1> <temp folder>

#include <ostream>
#include <span>

namespace tw::pixvane {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadPhoto = 3;
inline constexpr int kExitWriteFailed = 4;

// arguments include the program name. Writes the still picture, and for flag 0 the 64x64 thumbnail
// input2.ppm (12288 bytes of RGB pixels, no header) into the temp folder; on any failure nothing stays
// written and errors says why.
// --help alone writes the usage to out.
[[nodiscard]] int RunPixvane(std::span<const char* const> arguments, std::ostream& out, std::ostream& errors);

}  // namespace tw::pixvane
