#pragma once
// The 1024-byte record that precedes every MP3, photo and background picture sent to the box.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/mp3_info.h"

namespace tw {

inline constexpr std::size_t kMediaHeaderSize = 1024;
inline constexpr std::size_t kMediaNameMax = 255;  // a zero byte always follows the name

enum class MediaContentType : std::uint8_t { Mp3 = 0, Photo = 2 };

class MediaHeaderRecord {
 public:
  using Bytes = std::array<std::uint8_t, kMediaHeaderSize>;

  // name may carry a folder; only the file name goes into the record.
  [[nodiscard]] static MediaHeaderRecord ForMp3(std::string_view name, std::uint32_t fileLength, std::uint32_t duration,
                                                const Id3v1Block& id3v1);
  [[nodiscard]] static MediaHeaderRecord ForPhoto(std::string_view name, std::uint32_t contentLength);

  [[nodiscard]] const Bytes& Data() const { return m_bytes; }

  // The file name without folder, cut to 255 bytes at a UTF-8 character boundary.
  [[nodiscard]] static std::string_view RecordName(std::string_view name);

 private:
  MediaHeaderRecord(std::string_view name, std::uint32_t length, MediaContentType type);

  Bytes m_bytes{};
};

}  // namespace tw
