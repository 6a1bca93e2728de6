#pragma once
// The 1024-byte media header record at the front of every MP3, photo and background transfer, as the
// box reads it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

inline constexpr std::size_t kMediaRecordSize = 1024;
inline constexpr std::uint8_t kContentMp3 = 0;
inline constexpr std::uint8_t kContentPicture = 2;

// Record layout:
//   0 name, zero-padded (256) | 256 length BE | 260 duration BE | 264 zero (4) | 268 ID3v1 block (128)
//   396 zero (3) | 399 content type: 0 MP3, 2 photo | 400 zero (624)
struct MediaRecord {
  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kNameSize = 256;
  static constexpr std::size_t kLengthOffset = 256;
  static constexpr std::size_t kDurationOffset = 260;
  static constexpr std::size_t kId3Offset = 268;
  static constexpr std::size_t kId3Size = 128;
  static constexpr std::size_t kContentTypeOffset = 399;

  std::string name;  // as sent, up to the first zero byte
  std::uint32_t length = 0;
  std::uint32_t duration = 0;
  std::array<std::uint8_t, kId3Size> id3{};
  std::uint8_t contentType = 0;

  // Null when the name field holds no terminating zero (a name of 256 bytes or more).
  [[nodiscard]] static std::optional<MediaRecord> Parse(const std::uint8_t* record);
};

// The name the box stores a file under: no folder separators, no control characters, never "." or "..".
[[nodiscard]] std::string SanitizeMediaName(std::string_view name);

}  // namespace tw
