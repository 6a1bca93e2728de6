#pragma once
// Inspection of one MP3 file: tags, first frame header, Xing header, bitrate and playing time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "media/byte_source.h"

namespace tw {

inline constexpr std::size_t kId3v1Size = 128;
using Id3v1Block = std::array<std::uint8_t, kId3v1Size>;

enum class Mp3TagKind : int { None = 0, Id3v1 = 1, Id3v2 = 2 };

inline constexpr std::uint32_t kNoVbrScale = 0xFFFFFFFF;

// Whether a file name ends in "mp3" in any case: the batch sends such a file as an MP3, else as a photo.
[[nodiscard]] bool IsMp3Name(std::string_view name);

// The whole inspection runs in the constructor; the results are read right after.
class CMp3Info {
 public:
  // Only a path ending in ".mp3" (any case) is inspected; a file that cannot be opened leaves Error() set.
  explicit CMp3Info(const std::string& path);
  // Inspects the bytes as they are; no extension check.
  explicit CMp3Info(ByteSource& source);

  // "Can't open <path> !!!" when the file could not be opened, else empty.
  [[nodiscard]] const std::string& Error() const { return m_error; }

  [[nodiscard]] Mp3TagKind TagKind() const { return m_tagKind; }
  [[nodiscard]] std::uint32_t TagSize() const { return m_tagSize; }
  // The trimmed ID3v1 tag as it goes into the media header record; all zero without one.
  [[nodiscard]] const Id3v1Block& Id3v1() const { return m_id3v1; }
  // ID3v1 text fields up to their first zero byte, raw bytes (usually Latin-1); empty without a tag.
  [[nodiscard]] std::string Title() const;
  [[nodiscard]] std::string Artist() const;
  [[nodiscard]] std::string Album() const;
  [[nodiscard]] std::string Year() const;
  [[nodiscard]] std::string Comment() const;
  // Absent without an ID3v1 tag.
  [[nodiscard]] std::optional<std::string_view> Genre() const { return m_genre; }
  [[nodiscard]] int Track() const { return m_track; }

  // 1 MPEG-1, 2 MPEG-2, 3 reserved, 4 MPEG-2.5; 0 when no frame header was analysed.
  [[nodiscard]] int Version() const { return m_version; }
  // 1 to 3 Layer I to III, 4 reserved; 0 when no frame header was analysed.
  [[nodiscard]] int Layer() const { return m_layer; }
  [[nodiscard]] std::uint32_t Bitrate() const { return m_bitrate; }
  [[nodiscard]] std::uint32_t SampleRate() const { return m_sampleRate; }
  [[nodiscard]] int ChannelMode() const { return m_channelMode; }
  [[nodiscard]] std::uint32_t Frames() const { return m_frames; }
  [[nodiscard]] bool IsVbr() const { return m_vbr; }
  [[nodiscard]] std::uint32_t VbrScale() const { return m_vbrScale; }
  [[nodiscard]] std::uint64_t FileSize() const { return m_fileSize; }
  // Whole seconds.
  [[nodiscard]] std::uint32_t Duration() const { return m_duration; }

  // "Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"; empty outside 0 to 3.
  [[nodiscard]] static std::string_view ChannelModeName(int mode);
  // Genre code 0 to 144 by name, every other code "unknown".
  [[nodiscard]] static std::string_view GenreName(std::uint8_t code);

 private:
  void Inspect(ByteSource& source);
  void ReadTags(ByteSource& source);
  void ReadId3v1(ByteSource& source);
  void ParseFrameHeader(std::span<const std::uint8_t> frame);
  [[nodiscard]] std::string FieldText(std::size_t offset, std::size_t width) const;

  std::string m_error;
  Mp3TagKind m_tagKind = Mp3TagKind::None;
  std::uint32_t m_tagSize = 0;
  Id3v1Block m_id3v1{};
  std::optional<std::string_view> m_genre;
  int m_track = 0;
  int m_layer = 0;
  std::uint32_t m_bitrate = 0;
  std::uint32_t m_sampleRate = 0;
  std::uint32_t m_duration = 0;
  int m_channelMode = 0;
  std::uint64_t m_fileSize = 0;
  std::uint32_t m_frames = 0;
  std::uint32_t m_vbrScale = 0;
  int m_version = 0;
  bool m_vbr = false;
};

}  // namespace tw
