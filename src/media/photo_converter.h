#pragma once
// Turns a photo into the box's still-picture content by running the converter PIXVANE.EXE.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/wire_format.h"

namespace tw {

inline constexpr std::string_view kConverterName = "PIXVANE.EXE";
inline constexpr std::string_view kStillFileName = "output.mpg";
inline constexpr std::string_view kThumbnailFileName = "input2.ppm";
// The content's room for the thumbnail, ahead of the still picture.
inline constexpr std::size_t kThumbnailReserve = 12288;
inline constexpr std::chrono::milliseconds kConverterTimeLimit{50000};

struct PhotoConverterSettings {
  // The converter's current directory, and the second place it is looked for.
  std::filesystem::path startDirectory{};
  // First place the converter is looked for; the running program's folder when unset.
  std::optional<std::filesystem::path> programDirectory{};
  // Searched last; PATH when unset.
  std::optional<std::string> searchPath{};
  // Where each conversion makes its own output folder; the system's temporary folder when unset.
  std::optional<std::filesystem::path> tempFolder{};
  std::chrono::milliseconds timeLimit = kConverterTimeLimit;
};

class PhotoConverter {
 public:
  using MessageSink = std::function<void(const std::string&)>;

  PhotoConverter(PhotoConverterSettings settings, MessageSink onMessage);

  // Mode::Photo: the thumbnail's first 12288 bytes (zero-padded when shorter) followed by the still picture,
  // and zeros standing for the rest of a longer thumbnail, so the size counts the whole thumbnail.
  // Any other mode (background): the still picture alone. Nothing after a reported failure.
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> ConvertPhoto(const std::string& photoPath, Mode mode);

 private:
  [[nodiscard]] bool RunConverter(const std::vector<std::string>& arguments);
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadOutput(const std::string& path);
  void Report(std::string_view text) const;

  PhotoConverterSettings m_settings;
  MessageSink m_onMessage;
};

}  // namespace tw
