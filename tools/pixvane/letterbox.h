#pragma once
// Fits a picture into a fixed frame, keeping its aspect ratio, with black bars around it.

#include "pixvane/av_handles.h"

namespace tw::pixvane {

// format is AV_PIX_FMT_YUV420P or AV_PIX_FMT_RGB24. Null when the scaler cannot be set up.
[[nodiscard]] FramePtr Letterbox(const AVFrame& picture, int width, int height, AVPixelFormat format);

}  // namespace tw::pixvane
