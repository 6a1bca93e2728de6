#include "boxsim/media_record.h"

#include <algorithm>

#include "link/wire_format.h"

namespace tw {

std::optional<MediaRecord> MediaRecord::Parse(const std::uint8_t* record) {
  const std::uint8_t* nameEnd = std::find(record + kNameOffset, record + kNameOffset + kNameSize, 0);
  if (nameEnd == record + kNameOffset + kNameSize) {
    return std::nullopt;
  }
  MediaRecord parsed;
  parsed.name.assign(record + kNameOffset, nameEnd);
  parsed.length = GetBigEndian32(record + kLengthOffset);
  parsed.duration = GetBigEndian32(record + kDurationOffset);
  std::copy_n(record + kId3Offset, kId3Size, parsed.id3.begin());
  parsed.contentType = record[kContentTypeOffset];
  return parsed;
}

std::string SanitizeMediaName(std::string_view name) {
  std::string clean;
  clean.reserve(name.size());
  for (char c : name) {
    const auto code = static_cast<unsigned char>(c);
    // Also what Windows refuses in a file name, so the disk works the same there.
    const bool unsafe =
        std::string_view(R"(/\:<>"|?*)").find(c) != std::string_view::npos || code < 0x20 || code == 0x7F;
    clean.push_back(unsafe ? '_' : c);
  }
  if (clean.find_first_not_of('.') == std::string::npos) {
    return "unnamed";  // "." and ".." are no file names; Windows would also drop trailing dots
  }
  return clean;
}

}  // namespace tw
