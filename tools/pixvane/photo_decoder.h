#pragma once
// Decodes the first picture of a photo file held in memory (JPEG, BMP, GIF, PNG and whatever else the
// FFmpeg libraries recognise by content).

#include <cstdint>
#include <span>
#include <string>

#include "pixvane/av_handles.h"

namespace tw::pixvane {

// Null with error set when the bytes hold no decodable picture.
[[nodiscard]] FramePtr DecodePhoto(std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace tw::pixvane
