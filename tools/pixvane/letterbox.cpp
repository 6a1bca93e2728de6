#include "pixvane/letterbox.h"

#include <algorithm>
#include <array>
#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace tw::pixvane {
namespace {

constexpr std::uint8_t kBlackLuma = 16;  // video range
constexpr std::uint8_t kNeutralChroma = 128;
constexpr std::uint8_t kBlackRgb = 0;

struct Placement {
  int x;
  int y;
  int width;
  int height;
};

// Even sizes and offsets keep the 4:2:0 chroma planes aligned with the luma plane.
[[nodiscard]] Placement Fit(int pictureWidth, int pictureHeight, int width, int height) {
  const auto scaled = [](long long size, long long numerator, long long denominator) {
    return std::max(2, static_cast<int>(size * numerator / denominator) & ~1);
  };
  Placement place{0, 0, width, height};
  if (static_cast<long long>(pictureWidth) * height > static_cast<long long>(width) * pictureHeight) {
    place.height = std::min(height, scaled(pictureHeight, width, pictureWidth));
  } else {
    place.width = std::min(width, scaled(pictureWidth, height, pictureHeight));
  }
  place.x = ((width - place.width) / 2) & ~1;
  place.y = ((height - place.height) / 2) & ~1;
  return place;
}

void FillBlack(AVFrame& frame) {
  if (frame.format == AV_PIX_FMT_RGB24) {
    for (int row = 0; row < frame.height; ++row) {
      std::memset(frame.data[0] + row * frame.linesize[0], kBlackRgb, static_cast<std::size_t>(frame.width) * 3);
    }
    return;
  }
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    for (int row = 0; row < frame.height >> shift; ++row) {
      std::memset(frame.data[plane] + row * frame.linesize[plane], plane == 0 ? kBlackLuma : kNeutralChroma,
                  static_cast<std::size_t>(frame.width >> shift));
    }
  }
}

}  // namespace

FramePtr Letterbox(const AVFrame& picture, int width, int height, AVPixelFormat format) {
  FramePtr frame(av_frame_alloc());
  if (!frame) {
    return nullptr;
  }
  frame->width = width;
  frame->height = height;
  frame->format = format;
  if (av_frame_get_buffer(frame.get(), 0) < 0) {
    return nullptr;
  }
  FillBlack(*frame);

  const Placement place = Fit(picture.width, picture.height, width, height);
  ScalerPtr scaler(sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
                                  place.width, place.height, format, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!scaler) {
    return nullptr;
  }
  const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(format);
  std::array<std::uint8_t*, 4> target{};
  for (int plane = 0; plane < av_pix_fmt_count_planes(format); ++plane) {
    const int chroma = plane == 1 || plane == 2;
    const int x = chroma ? place.x >> layout->log2_chroma_w : place.x;
    const int y = chroma ? place.y >> layout->log2_chroma_h : place.y;
    const int pixelBytes = format == AV_PIX_FMT_RGB24 ? 3 : 1;
    target[static_cast<std::size_t>(plane)] = frame->data[plane] + y * frame->linesize[plane] + x * pixelBytes;
  }
  sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, target.data(), frame->linesize);
  return frame;
}

}  // namespace tw::pixvane
