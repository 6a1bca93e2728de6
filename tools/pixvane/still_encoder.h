#pragma once
// Encodes one picture as an MPEG-2 video elementary stream: sequence header, one I picture, sequence end.

#include <cstdint>
#include <vector>

#include "pixvane/av_handles.h"

namespace tw::pixvane {

inline constexpr int kStillWidth = 720;
inline constexpr int kStillHeight = 576;

// picture: kStillWidth x kStillHeight, AV_PIX_FMT_YUV420P. Empty when the encoder fails.
[[nodiscard]] std::vector<std::uint8_t> EncodeStill(const AVFrame& picture);

}  // namespace tw::pixvane
