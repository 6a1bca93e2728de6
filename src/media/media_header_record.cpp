#include "media/media_header_record.h"

#include <algorithm>
#include <filesystem>

#include "link/wire_format.h"

namespace tw {
namespace {

constexpr std::size_t kMaxUtf8Continuations = 3;
// Windows takes either slash; elsewhere a backslash belongs to the name.
constexpr std::string_view kSeparators = std::filesystem::path::preferred_separator == '\\' ? "/\\" : "/";

[[nodiscard]] bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

std::string_view MediaHeaderRecord::RecordName(std::string_view name) {
  const auto slash = name.find_last_of(kSeparators);
  if (slash != std::string_view::npos) {
    name.remove_prefix(slash + 1);
  }
  if (name.size() <= kMediaNameMax) {
    return name;
  }
  // Step back over at most one character's continuation bytes; a name that is not UTF-8 is cut plainly.
  std::size_t cut = kMediaNameMax;
  while (cut > kMediaNameMax - kMaxUtf8Continuations && IsUtf8Continuation(name[cut])) {
    --cut;
  }
  return name.substr(0, IsUtf8Continuation(name[cut]) ? kMediaNameMax : cut);
}

MediaHeaderRecord::MediaHeaderRecord(std::string_view name, std::uint32_t length, MediaContentType type) {
  const auto fitted = RecordName(name);
  std::copy(fitted.begin(), fitted.end(), m_bytes.begin());
  PutBigEndian32(m_bytes.data() + kLengthOffset, length);
  m_bytes[kContentTypeOffset] = static_cast<std::uint8_t>(type);
}

MediaHeaderRecord MediaHeaderRecord::ForMp3(std::string_view name, std::uint32_t fileLength, std::uint32_t duration,
                                            const Id3v1Block& id3v1) {
  MediaHeaderRecord record(name, fileLength, MediaContentType::Mp3);
  PutBigEndian32(record.m_bytes.data() + kDurationOffset, duration);
  std::copy(id3v1.begin(), id3v1.end(), record.m_bytes.begin() + kId3v1Offset);
  return record;
}

MediaHeaderRecord MediaHeaderRecord::ForPhoto(std::string_view name, std::uint32_t contentLength) {
  return {name, contentLength, MediaContentType::Photo};
}

std::optional<MediaHeaderRecord> MediaHeaderRecord::Parse(const std::uint8_t* record) {
  if (std::find(record, record + kNameSize, 0) == record + kNameSize) {
    return std::nullopt;
  }
  MediaHeaderRecord parsed;
  std::copy_n(record, kMediaHeaderSize, parsed.m_bytes.begin());
  return parsed;
}

std::string_view MediaHeaderRecord::Name() const { return reinterpret_cast<const char*>(m_bytes.data()); }

std::uint32_t MediaHeaderRecord::Length() const { return GetBigEndian32(m_bytes.data() + kLengthOffset); }

std::uint32_t MediaHeaderRecord::Duration() const { return GetBigEndian32(m_bytes.data() + kDurationOffset); }

MediaContentType MediaHeaderRecord::ContentType() const {
  return static_cast<MediaContentType>(m_bytes[kContentTypeOffset]);
}

}  // namespace tw
