#include "pixvane/still_encoder.h"

#include <algorithm>
#include <array>

namespace tw::pixvane {
namespace {

constexpr AVRational kFrameDuration{1, 25};  // PAL
constexpr int kQuantiser = 3;                // fine enough for a still on a TV screen
constexpr std::array<std::uint8_t, 4> kSequenceEndCode{0x00, 0x00, 0x01, 0xB7};

[[nodiscard]] CodecContextPtr OpenEncoder() {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (codec == nullptr) {
    return nullptr;
  }
  CodecContextPtr encoder(avcodec_alloc_context3(codec));
  if (!encoder) {
    return nullptr;
  }
  encoder->width = kStillWidth;
  encoder->height = kStillHeight;
  encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  encoder->time_base = kFrameDuration;
  encoder->framerate = av_inv_q(kFrameDuration);
  encoder->gop_size = 0;  // intra pictures only
  encoder->max_b_frames = 0;
  encoder->flags |= AV_CODEC_FLAG_QSCALE;
  encoder->global_quality = FF_QP2LAMBDA * kQuantiser;
  return avcodec_open2(encoder.get(), codec, nullptr) < 0 ? nullptr : std::move(encoder);
}

void AppendPackets(AVCodecContext& encoder, std::vector<std::uint8_t>& stream) {
  PacketPtr packet(av_packet_alloc());
  while (packet && avcodec_receive_packet(&encoder, packet.get()) == 0) {
    stream.insert(stream.end(), packet->data, packet->data + packet->size);
    av_packet_unref(packet.get());
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeStill(const AVFrame& picture) {
  auto encoder = OpenEncoder();
  FramePtr frame(av_frame_clone(&picture));
  if (!encoder || !frame) {
    return {};
  }
  frame->pts = 0;
  frame->pict_type = AV_PICTURE_TYPE_I;
  frame->quality = encoder->global_quality;
  std::vector<std::uint8_t> stream;
  if (avcodec_send_frame(encoder.get(), frame.get()) < 0) {
    return {};
  }
  AppendPackets(*encoder, stream);
  avcodec_send_frame(encoder.get(), nullptr);
  AppendPackets(*encoder, stream);
  // The encoder ends the stream without a sequence end code.
  if (!stream.empty() && !std::equal(kSequenceEndCode.rbegin(), kSequenceEndCode.rend(), stream.rbegin())) {
    stream.insert(stream.end(), kSequenceEndCode.begin(), kSequenceEndCode.end());
  }
  return stream;
}

}  // namespace tw::pixvane
