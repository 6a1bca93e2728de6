#pragma once

#include <QIcon>
#include <QSize>

namespace tw {

inline constexpr QSize kApplicationIconSize(32, 32);

// The application icon (resource 128): a set-top box with a download arrow, drawn at 16 and 32 pixels.
[[nodiscard]] QIcon ApplicationIcon();

}  // namespace tw
