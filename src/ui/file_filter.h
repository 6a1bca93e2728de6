#pragma once

#include <QString>

#include <string_view>

namespace tw {

// "Text|*.a;*.b|Text|*.c||" (pairs of description and patterns) -> "Text (*.a *.b);;Text (*.c)".
// A description without patterns is dropped.
[[nodiscard]] QString QtFileFilter(std::string_view pairs);

}  // namespace tw
