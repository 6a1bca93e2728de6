#pragma once

#include <QPixmap>

namespace tw {

// The selected-files list's two entry icons, 15 x 14 on a transparent background.
inline constexpr int kFileIconWidth = 15;
inline constexpr int kFileIconHeight = 14;

// Image 0 of the list: a musical note for an MP3 file.
[[nodiscard]] QPixmap NoteIcon();
// Image 1 of the list: a camera for a photo.
[[nodiscard]] QPixmap CameraIcon();

}  // namespace tw
