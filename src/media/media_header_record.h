#pragma once
// The 1024-byte record that precedes every MP3, photo and background picture sent to the box.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "media/mp3_info.h"

namespace tw {

inline constexpr std::size_t kMediaHeaderSize = 1024;
inline constexpr std::size_t kMediaNameMax = 255;  // a zero byte always follows the name

enum class MediaContentType : std::uint8_t { Mp3 = 0, Photo = 2 };

class MediaHeaderRecord {
 public:
  using Bytes = std::array<std::uint8_t, kMediaHeaderSize>;

  // Record: 0 name (256, zero-padded) | 256 length BE | 260 duration BE | 264 zero (4) | 268 ID3v1 block (128)
  //         | 396 zero (3) | 399 content type | 400 zero (624)
  static constexpr std::size_t kNameSize = kMediaNameMax + 1;
  static constexpr std::size_t kLengthOffset = 256;
  static constexpr std::size_t kDurationOffset = 260;
  static constexpr std::size_t kId3v1Offset = 268;
  static constexpr std::size_t kContentTypeOffset = 399;

  // name may carry a folder; only the file name goes into the record.
  [[nodiscard]] static MediaHeaderRecord ForMp3(std::string_view name, std::uint32_t fileLength, std::uint32_t duration,
                                                const Id3v1Block& id3v1);
  [[nodiscard]] static MediaHeaderRecord ForPhoto(std::string_view name, std::uint32_t contentLength);
  // A record as received; none when the name field holds no terminating zero.
  [[nodiscard]] static std::optional<MediaHeaderRecord> Parse(const std::uint8_t* record);

  [[nodiscard]] const Bytes& Data() const { return m_bytes; }
  [[nodiscard]] std::string_view Name() const;
  [[nodiscard]] std::uint32_t Length() const;
  [[nodiscard]] std::uint32_t Duration() const;
  [[nodiscard]] MediaContentType ContentType() const;

  // The file name without folder, cut to 255 bytes at a UTF-8 character boundary.
  [[nodiscard]] static std::string_view RecordName(std::string_view name);

 private:
  MediaHeaderRecord() = default;
  MediaHeaderRecord(std::string_view name, std::uint32_t length, MediaContentType type);

  Bytes m_bytes{};
};

}  // namespace tw
