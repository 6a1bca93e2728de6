#include "pixvane/pixvane_app.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "pixvane/letterbox.h"
#include "pixvane/photo_decoder.h"
#include "pixvane/still_encoder.h"

namespace tw::pixvane {
namespace {

constexpr std::string_view kPrefix = "PIXVANE.EXE: ";
constexpr std::string_view kUsage =
    "usage: PIXVANE.EXE <photo> <still picture path> <0 photo with thumbnail | 1 background> <temp folder>";
constexpr std::string_view kHelp =
    "Turns a photo (JPEG, BMP, GIF, PNG) into the set-top box's still picture: one MPEG-2 frame of\n"
    "720x576, the photo fitted in with black bars.\n\n"
    "  photo               the photo to convert\n"
    "  still picture path  where the MPEG-2 still picture is written\n"
    "  0 or 1              0: a photo, whose 64x64 thumbnail input2.ppm (12288 bytes of RGB pixels,\n"
    "                      no header) is written too; 1: a background picture, the still alone\n"
    "  temp folder         the folder that receives input2.ppm\n\n"
    "Exit status: 0 written, 2 usage error, 3 the photo cannot be read or converted, 4 the output\n"
    "cannot be written (nothing stays written after a failure).\n";
constexpr std::string_view kThumbnailName = "input2.ppm";
constexpr int kThumbnailSize = 64;
constexpr int kRgbBytes = 3;

using Bytes = std::vector<std::uint8_t>;

[[nodiscard]] std::optional<Bytes> ReadFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return in.bad() ? std::nullopt : std::optional<Bytes>(std::move(bytes));
}

[[nodiscard]] bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// The rows of RGB bytes alone: the box takes the slot's 12288 bytes as 64x64 pixels, so a PPM header
// would cost the last pixels.
[[nodiscard]] Bytes RgbBytes(const AVFrame& rgb) {
  Bytes bytes;
  for (int row = 0; row < rgb.height; ++row) {
    const auto* line = rgb.data[0] + row * rgb.linesize[0];
    bytes.insert(bytes.end(), line, line + rgb.width * kRgbBytes);
  }
  return bytes;
}

int Fail(std::ostream& errors, int code, std::string_view what) {
  errors << kPrefix << what << '\n';
  return code;
}

}  // namespace

int RunPixvane(std::span<const char* const> arguments, std::ostream& out, std::ostream& errors) {
  av_log_set_level(AV_LOG_QUIET);  // our own one-line messages only
  if (arguments.size() == 2 && (std::string_view(arguments[1]) == "--help" || std::string_view(arguments[1]) == "-h")) {
    out << kUsage.substr(std::string_view("usage: ").size()) << "\n\n" << kHelp;
    return kExitOk;
  }
  if (arguments.size() != 5 || (std::string_view(arguments[3]) != "0" && std::string_view(arguments[3]) != "1")) {
    return Fail(errors, kExitUsage, kUsage);
  }
  const std::filesystem::path photo = arguments[1];
  const std::filesystem::path still = arguments[2];
  const bool withThumbnail = std::string_view(arguments[3]) == "0";
  const std::filesystem::path thumbnail = std::filesystem::path(arguments[4]) / kThumbnailName;

  const auto photoBytes = ReadFile(photo);
  if (!photoBytes) {
    return Fail(errors, kExitBadPhoto, "can't read " + photo.string());
  }
  std::string error;
  const auto picture = DecodePhoto(*photoBytes, error);
  if (!picture) {
    return Fail(errors, kExitBadPhoto, photo.string() + ": " + error);
  }
  const auto screen = Letterbox(*picture, kStillWidth, kStillHeight, AV_PIX_FMT_YUV420P);
  const auto stream = screen ? EncodeStill(*screen) : Bytes{};
  if (stream.empty()) {
    return Fail(errors, kExitBadPhoto, photo.string() + ": can't encode the still picture");
  }
  Bytes thumbnailBytes;
  if (withThumbnail) {
    const auto small = Letterbox(*picture, kThumbnailSize, kThumbnailSize, AV_PIX_FMT_RGB24);
    if (!small) {
      return Fail(errors, kExitBadPhoto, photo.string() + ": can't scale the thumbnail");
    }
    thumbnailBytes = RgbBytes(*small);
  }

  if (!WriteFile(still, stream) || (withThumbnail && !WriteFile(thumbnail, thumbnailBytes))) {
    std::error_code ignored;
    std::filesystem::remove(still, ignored);
    if (withThumbnail) {
      std::filesystem::remove(thumbnail, ignored);
    }
    return Fail(errors, kExitWriteFailed, "can't write the output files");
  }
  return kExitOk;
}

}  // namespace tw::pixvane
