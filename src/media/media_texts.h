#pragma once
// Every text the media preparation shows to the operator.

#include <string>
#include <string_view>

namespace tw::media_text {

inline constexpr std::string_view kCantExecute = "Can't Execute PIXVANE.EXE File";
inline constexpr std::string_view kTimeout = "Timeout !!!";

[[nodiscard]] inline std::string CantOpen(std::string_view path) {
  std::string text = "Can't open ";
  text.append(path);
  text.append(" !!!");
  return text;
}

}  // namespace tw::media_text
