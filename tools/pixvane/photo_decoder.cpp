#include "pixvane/photo_decoder.h"

#include <algorithm>
#include <cstring>

namespace tw::pixvane {
namespace {

constexpr int kIoBufferSize = 4096;

// The file is read by us and probed by content, so no part of its name is ever taken as a pattern
// or a protocol.
struct MemoryReader {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;

  static int Read(void* opaque, std::uint8_t* out, int size) {
    auto& self = *static_cast<MemoryReader*>(opaque);
    const auto count = std::min(static_cast<std::size_t>(size), self.bytes.size() - self.position);
    if (count == 0) {
      return AVERROR_EOF;
    }
    std::memcpy(out, self.bytes.data() + self.position, count);
    self.position += count;
    return static_cast<int>(count);
  }
};

[[nodiscard]] FramePtr ReceiveFrame(AVCodecContext& decoder) {
  FramePtr frame(av_frame_alloc());
  return frame && avcodec_receive_frame(&decoder, frame.get()) == 0 ? std::move(frame) : nullptr;
}

[[nodiscard]] FramePtr DecodeFirstFrame(AVFormatContext& format, int stream, AVCodecContext& decoder) {
  PacketPtr packet(av_packet_alloc());
  while (packet && av_read_frame(&format, packet.get()) >= 0) {
    const bool ours = packet->stream_index == stream;
    const int sent = ours ? avcodec_send_packet(&decoder, packet.get()) : 0;
    av_packet_unref(packet.get());
    if (sent < 0 && sent != AVERROR(EAGAIN)) {
      return nullptr;
    }
    if (auto frame = ours ? ReceiveFrame(decoder) : nullptr) {
      return frame;
    }
  }
  avcodec_send_packet(&decoder, nullptr);
  return ReceiveFrame(decoder);
}

}  // namespace

FramePtr DecodePhoto(std::span<const std::uint8_t> bytes, std::string& error) {
  error = "not a picture this converter can read";
  MemoryReader reader{bytes};
  auto* ioBuffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
  if (ioBuffer == nullptr) {
    return nullptr;
  }
  IoContextPtr io(avio_alloc_context(ioBuffer, kIoBufferSize, 0, &reader, &MemoryReader::Read, nullptr, nullptr));
  if (!io) {
    av_free(ioBuffer);
    return nullptr;
  }
  AVFormatContext* rawFormat = avformat_alloc_context();
  if (rawFormat == nullptr) {
    return nullptr;
  }
  rawFormat->pb = io.get();
  rawFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
  // On failure avformat_open_input frees the context itself.
  if (avformat_open_input(&rawFormat, nullptr, nullptr, nullptr) < 0) {
    return nullptr;
  }
  FormatContextPtr format(rawFormat);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) {
    return nullptr;
  }
  const AVCodec* codec = nullptr;
  const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (stream < 0 || codec == nullptr) {
    return nullptr;
  }
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), format->streams[stream]->codecpar) < 0 ||
      avcodec_open2(decoder.get(), codec, nullptr) < 0) {
    return nullptr;
  }
  auto frame = DecodeFirstFrame(*format, stream, *decoder);
  if (frame && frame->width > 0 && frame->height > 0) {
    error.clear();
    return frame;
  }
  return nullptr;
}

}  // namespace tw::pixvane
