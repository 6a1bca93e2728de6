#include "media/mp3_info.h"

#include <algorithm>
#include <limits>

#include "link/wire_format.h"
#include "media/file_byte_source.h"
#include "media/media_texts.h"

namespace tw {
namespace {

constexpr std::size_t kScanSize = 2048;  // bytes searched for the first frame header
constexpr std::size_t kId3v2HeaderSize = 10;
constexpr std::size_t kRiffLastDataPosition = 2039;
constexpr std::size_t kRiffDataSkip = 8;  // "data" and the chunk's 4-byte size
constexpr std::uint8_t kSync = 0xFF;
constexpr std::size_t kFrameHeaderSize = 4;
constexpr std::uint32_t kSamplesPerFrameFactor = 144;  // Layer III: frame bytes = 144 * bitrate / rate
constexpr std::uint32_t kBitrateGranule = 1000;
// The frame count's 1/144 is the single-precision constant, widened.
constexpr double kFrameFactor = static_cast<double>(0.0069444445f);

// ID3v1 block: 0 "TAG" | 3 title (30) | 33 artist (30) | 63 album (30) | 93 year (4) | 97 comment (30)
//              | 125 zero in ID3v1.1 | 126 track in ID3v1.1 | 127 genre code
struct Field {
  std::size_t offset;
  std::size_t width;
};
constexpr Field kTitle{3, 30};
constexpr Field kArtist{33, 30};
constexpr Field kAlbum{63, 30};
constexpr Field kYear{93, 4};
constexpr Field kComment{97, 30};
constexpr std::size_t kTrackMarkerOffset = 125;
constexpr std::size_t kTrackOffset = 126;
constexpr std::size_t kGenreOffset = 127;

// Entry 0 stands for every code from 145 up; entry n + 1 names code n.
constexpr std::array<std::string_view, 146> kGenres{"unknown",
                                                    "Blues",
                                                    "Classic Rock",
                                                    "Country",
                                                    "Dance",
                                                    "Disco",
                                                    "Funk",
                                                    "Grunge",
                                                    "Hip-Hop",
                                                    "Jazz",
                                                    "Metal",
                                                    "New Age",
                                                    "Oldies",
                                                    "Other",
                                                    "Pop",
                                                    "R&B",
                                                    "Rap",
                                                    "Reggae",
                                                    "Rock",
                                                    "Techno",
                                                    "Industrial",
                                                    "Alternative",
                                                    "Ska",
                                                    "Death Metal",
                                                    "Pranks",
                                                    "Soundtrack",
                                                    "Euro-Techno",
                                                    "Ambient",
                                                    "Trip-Hop",
                                                    "Vocal",
                                                    "Jazz+Funk",
                                                    "Fusion",
                                                    "Trance",
                                                    "Classical",
                                                    "Instrumental",
                                                    "Acid",
                                                    "House",
                                                    "Game",
                                                    "Sound Clip",
                                                    "Gospel",
                                                    "Noise",
                                                    "AlternRock",
                                                    "Bass",
                                                    "Soul",
                                                    "Punk",
                                                    "Space",
                                                    "Meditative",
                                                    "Instrumental Pop",
                                                    "Instrumental Rock",
                                                    "Ethnic",
                                                    "Gothic",
                                                    "Darkwave",
                                                    "Techno-Industrial",
                                                    "Electronic",
                                                    "Pop-Folk",
                                                    "Eurodance",
                                                    "Dream",
                                                    "Southern Rock",
                                                    "Comedy",
                                                    "Cult",
                                                    "Gangsta",
                                                    "Top 40",
                                                    "Christian Rap",
                                                    "Pop/Funk",
                                                    "Jungle",
                                                    "Native American",
                                                    "Cabaret",
                                                    "New Wave",
                                                    "Psychedelic",
                                                    "Rave",
                                                    "Showtunes",
                                                    "Trailer",
                                                    "Lo-Fi",
                                                    "Tribal",
                                                    "Acid Punk",
                                                    "Acid Jazz",
                                                    "Polka",
                                                    "Retro",
                                                    "Musical",
                                                    "Rock & Roll",
                                                    "Hard Rock",
                                                    "Folk",
                                                    "Folk/Rock",
                                                    "National Folk",
                                                    "Swing",
                                                    "Fast Fusion",
                                                    "Bebob",
                                                    "Latin",
                                                    "Revival",
                                                    "Celtic",
                                                    "Bluegrass",
                                                    "Avantgarde",
                                                    "Gothic Rock",
                                                    "Progressive Rock",
                                                    "Psychedelic Rock",
                                                    "Symphonic Rock",
                                                    "Slow Rock",
                                                    "Big Band",
                                                    "Chorus",
                                                    "Easy Listening",
                                                    "Acoustic",
                                                    "Humour",
                                                    "Speech",
                                                    "Chanson",
                                                    "Opera",
                                                    "Chamber Music",
                                                    "Sonata",
                                                    "Symphony",
                                                    "Booty Bass",
                                                    "Primus",
                                                    "Porn Groove",
                                                    "Satire",
                                                    "Slow Jam",
                                                    "Club",
                                                    "Tango",
                                                    "Samba",
                                                    "Folklore",
                                                    "Ballad",
                                                    "Power Ballad",
                                                    "Rhythmic Soul",
                                                    "Freestyle",
                                                    "Duet",
                                                    "Punk Rock",
                                                    "Drum Solo",
                                                    "Acapella",
                                                    "Euro-House",
                                                    "Dance Hall",
                                                    "Goa",
                                                    "Drum & Bass",
                                                    "Club-House",
                                                    "Hardcore",
                                                    "Terror",
                                                    "Indie",
                                                    "BritPop",
                                                    "Negerpunk",
                                                    "Polsk Punk",
                                                    "Beat",
                                                    "Christian Gangsta Rap",
                                                    "Heavy Metal",
                                                    "Black Metal",
                                                    "Crossover",
                                                    "Contemporary Christian",
                                                    "Christian Rock",
                                                    "Merengue",
                                                    "Salsa",
                                                    "Thrash Metal"};

constexpr std::array<std::string_view, 4> kChannelModes{"Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"};

// Bits per second by row and the bitrate index (header byte 2, bits 7..4). Rows 0 to 3 serve layer 1 to 4
// (4 = reserved layer bits, also MPEG-2 Layer III); the last row MPEG-2.5 Layer III.
using BitrateRow = std::array<std::uint32_t, 16>;
constexpr std::array<BitrateRow, 4> kLayerBitrates{{
    {0, 32000, 64000, 96000, 128000, 160000, 192000, 224000, 256000, 288000, 320000, 352000, 384000, 416000, 448000, 0},
    {0, 32000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000, 256000, 320000, 384000, 0},
    {0, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000, 256000, 320000, 0},
    {0, 16000, 20000, 24000, 32000, 64000, 80000, 56000, 64000, 128000, 160000, 112000, 128000, 256000, 320000, 0},
}};
constexpr std::size_t kMpeg2BitrateRow = 3;
constexpr BitrateRow kMpeg25Bitrates{0, 8000, 16000, 24000, 32000};

// Hz by the sampling-frequency index (header byte 2, bits 3..2).
constexpr std::array<std::uint32_t, 4> kSampleRates{44100, 48000, 32000, 0};

// Header: byte 1 bits 4..3 version, bits 2..1 layer; byte 2 bits 7..4 bitrate, 3..2 rate; byte 3 bits 7..6 mode.
constexpr int kMpeg1 = 1;
constexpr int kMpeg2 = 2;
constexpr int kMpegReserved = 3;
constexpr int kMpeg25 = 4;
constexpr int kLayer3 = 3;
constexpr int kSingleChannel = 3;

// Xing header: "Xing" | flags BE | then the parts the flags announce, in this order.
constexpr std::array<std::uint8_t, 4> kXingTag{'X', 'i', 'n', 'g'};
constexpr std::uint32_t kXingFrames = 1;
constexpr std::uint32_t kXingBytes = 2;
constexpr std::uint32_t kXingToc = 4;
constexpr std::uint32_t kXingScale = 8;
constexpr std::size_t kXingTocSize = 100;

struct XingHeader {
  std::uint32_t frames = 0;
  std::uint32_t byteCount = 0;
  std::uint32_t scale = kNoVbrScale;
};

[[nodiscard]] bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::equal(text.begin(), text.end(), bytes.begin());
}

// The inspection wants the dot as well.
[[nodiscard]] bool HasMp3Extension(std::string_view path) {
  constexpr std::string_view kDotBeforeEnding = ".mp3";
  return path.size() >= kDotBeforeEnding.size() && path[path.size() - kDotBeforeEnding.size()] == '.' &&
         IsMp3Name(path);
}

// The C locale's white space; bytes from 0x80 up never are.
[[nodiscard]] bool IsWhiteSpace(std::uint8_t byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

// Trims in place; the bytes behind the written zeros keep their old content.
void TrimField(std::span<std::uint8_t> field) {
  std::size_t len = std::find(field.begin(), field.end(), std::uint8_t{0}) - field.begin();
  const std::size_t lead =
      std::find_if_not(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(len), IsWhiteSpace) - field.begin();
  if (len > 0 && lead == len) {
    field[0] = 0;
    return;
  }
  if (lead > 0) {
    std::copy(field.begin() + static_cast<std::ptrdiff_t>(lead), field.begin() + static_cast<std::ptrdiff_t>(len),
              field.begin());
    len -= lead;
    field[len] = 0;
  }
  while (len > 0 && IsWhiteSpace(field[len - 1])) {
    field[--len] = 0;
  }
}

[[nodiscard]] std::uint32_t Saturate32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

// The frame header position within the scanned bytes, if any.
[[nodiscard]] std::optional<std::size_t> FindFrameHeader(std::span<const std::uint8_t> scan) {
  if (StartsWith(scan, "RIFF")) {
    constexpr std::string_view kData = "data";
    for (std::size_t p = 0; p <= kRiffLastDataPosition; ++p) {
      if (StartsWith(scan.subspan(p), kData)) {
        return p + kRiffDataSkip;
      }
    }
    return std::nullopt;
  }
  const auto sync = std::find(scan.begin(), scan.end(), kSync);
  if (sync == scan.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(sync - scan.begin());
}

[[nodiscard]] std::size_t XingOffset(int version, int channelMode) {
  const bool mono = channelMode == kSingleChannel;
  if (version == kMpeg1 || version == kMpegReserved) {
    return mono ? 21 : 36;
  }
  return mono ? 13 : 21;
}

// Reads the parts behind "Xing"; nothing when they would run past the bytes given.
[[nodiscard]] std::optional<XingHeader> ReadXing(std::span<const std::uint8_t> xing) {
  std::size_t pos = kXingTag.size();
  const auto take = [&](std::size_t count) -> const std::uint8_t* {
    if (xing.size() - pos < count) {
      return nullptr;
    }
    const auto* at = xing.data() + pos;
    pos += count;
    return at;
  };
  const auto* flagBytes = take(4);
  if (flagBytes == nullptr) {
    return std::nullopt;
  }
  const std::uint32_t flags = GetBigEndian32(flagBytes);
  XingHeader header;
  const auto readWord = [&](std::uint32_t flag, std::uint32_t& target) {
    if ((flags & flag) == 0) {
      return true;
    }
    const auto* word = take(4);
    if (word != nullptr) {
      target = GetBigEndian32(word);
    }
    return word != nullptr;
  };
  const auto skipToc = [&] { return (flags & kXingToc) == 0 || take(kXingTocSize) != nullptr; };
  if (!readWord(kXingFrames, header.frames) || !readWord(kXingBytes, header.byteCount) || !skipToc() ||
      !readWord(kXingScale, header.scale)) {
    return std::nullopt;
  }
  return header;
}

}  // namespace

bool IsMp3Name(std::string_view name) {
  constexpr std::string_view kEnding = "mp3";
  return name.size() >= kEnding.size() &&
         std::equal(kEnding.begin(), kEnding.end(), name.end() - kEnding.size(), [](char want, char have) {
           return want == (have >= 'A' && have <= 'Z' ? static_cast<char>(have - 'A' + 'a') : have);
         });
}

CMp3Info::CMp3Info(const std::string& path) {
  if (!HasMp3Extension(path)) {
    return;
  }
  FileByteSource file(path);
  if (!file.IsOpen()) {
    m_error = media_text::CantOpen(path);
    return;
  }
  Inspect(file);
}

CMp3Info::CMp3Info(ByteSource& source) { Inspect(source); }

std::string_view CMp3Info::ChannelModeName(int mode) {
  return mode >= 0 && mode < static_cast<int>(kChannelModes.size()) ? kChannelModes[static_cast<std::size_t>(mode)]
                                                                    : std::string_view{};
}

std::string_view CMp3Info::GenreName(std::uint8_t code) {
  return code < kGenres.size() - 1 ? kGenres[code + 1u] : kGenres[0];
}

std::string CMp3Info::Title() const { return FieldText(kTitle.offset, kTitle.width); }
std::string CMp3Info::Artist() const { return FieldText(kArtist.offset, kArtist.width); }
std::string CMp3Info::Album() const { return FieldText(kAlbum.offset, kAlbum.width); }
std::string CMp3Info::Year() const { return FieldText(kYear.offset, kYear.width); }
std::string CMp3Info::Comment() const { return FieldText(kComment.offset, kComment.width); }

std::string CMp3Info::FieldText(std::size_t offset, std::size_t width) const {
  const auto* begin = m_id3v1.data() + offset;
  return {begin, std::find(begin, begin + width, std::uint8_t{0})};
}

void CMp3Info::Inspect(ByteSource& source) {
  m_fileSize = source.Size();
  ReadTags(source);
  const std::uint64_t start = m_tagKind == Mp3TagKind::Id3v2 ? m_tagSize : 0;
  std::array<std::uint8_t, kScanSize> scan{};
  if (source.ReadAt(start, scan) < scan.size()) {
    return;
  }
  if (const auto header = FindFrameHeader(scan)) {
    ParseFrameHeader(std::span<const std::uint8_t>(scan).subspan(*header));
  }
}

void CMp3Info::ReadTags(ByteSource& source) {
  std::array<std::uint8_t, kId3v2HeaderSize> head{};
  if (source.ReadAt(0, head) < head.size()) {
    return;
  }
  if (StartsWith(head, "ID3")) {
    // ID3v2 header: 0 "ID3" | 3 version (2) | 5 flags | 6 size, four 7-bit bytes, most significant first
    m_tagKind = Mp3TagKind::Id3v2;
    m_tagSize = ((head[6] & 0x7Fu) << 21 | (head[7] & 0x7Fu) << 14 | (head[8] & 0x7Fu) << 7 | (head[9] & 0x7Fu)) +
                kId3v2HeaderSize;
    return;
  }
  ReadId3v1(source);
}

void CMp3Info::ReadId3v1(ByteSource& source) {
  if (m_fileSize < kId3v1Size) {
    return;
  }
  if (source.ReadAt(m_fileSize - kId3v1Size, m_id3v1) < kId3v1Size || !StartsWith(m_id3v1, "TAG")) {
    m_id3v1.fill(0);
    return;
  }
  m_tagKind = Mp3TagKind::Id3v1;
  m_tagSize = kId3v1Size;
  for (const Field field : {kTitle, kArtist, kAlbum, kYear, kComment}) {
    TrimField(std::span(m_id3v1).subspan(field.offset, field.width));
  }
  m_genre = GenreName(m_id3v1[kGenreOffset]);
  m_track = m_id3v1[kTrackMarkerOffset] == 0 ? m_id3v1[kTrackOffset] : 0;
}

void CMp3Info::ParseFrameHeader(std::span<const std::uint8_t> frame) {
  // Only the first byte is tested for the sync; a header cut off by the scan's end is not analysed.
  if (frame.size() < kFrameHeaderSize || frame[0] != kSync) {
    return;
  }
  const int version = 4 - ((frame[1] >> 3) & 3);
  const int layer = 4 - ((frame[1] >> 1) & 3);
  const int channelMode = frame[3] >> 6;
  const std::size_t xingAt = XingOffset(version, channelMode);
  // Rather than read past the scanned bytes, a header this close to their end is left unanalysed.
  if (frame.size() < xingAt + kXingTag.size()) {
    return;
  }
  const auto xingBytes = frame.subspan(xingAt);
  const bool hasXing = std::equal(kXingTag.begin(), kXingTag.end(), xingBytes.begin());
  std::optional<XingHeader> xing;
  if (hasXing) {
    xing = ReadXing(xingBytes);
    if (!xing) {
      return;
    }
  }

  const unsigned bitrateIndex = frame[2] >> 4;
  m_version = version;
  m_layer = layer;
  m_bitrate = kLayerBitrates[static_cast<std::size_t>(layer - 1)][bitrateIndex];
  m_sampleRate = kSampleRates[(frame[2] >> 2) & 3];
  m_channelMode = channelMode;
  m_vbrScale = kNoVbrScale;
  m_vbr = false;

  if (xing) {
    if (version == kMpeg2 && layer == kLayer3) {
      m_sampleRate /= 2;
    }
    m_vbr = true;
    m_frames = xing->frames;
    m_vbrScale = xing->scale;
    m_bitrate = 0;
    if (m_frames > 0) {
      const std::uint64_t bytes = xing->byteCount != 0 ? xing->byteCount : m_fileSize;
      const std::uint64_t perFrame = bytes / m_frames;
      const std::uint64_t rate = perFrame * m_sampleRate / kSamplesPerFrameFactor;
      m_bitrate = Saturate32(rate - rate % kBitrateGranule);
    }
  } else {
    if (version == kMpeg2 && layer == kLayer3) {
      m_bitrate = kLayerBitrates[kMpeg2BitrateRow][bitrateIndex];
      m_sampleRate /= 2;
    } else if (version == kMpeg25 && layer == kLayer3) {
      m_bitrate = kMpeg25Bitrates[bitrateIndex];
      m_sampleRate /= 4;
    }
    m_frames = 0;
    if (m_bitrate > 0) {
      const double frames = static_cast<double>(m_fileSize) * m_sampleRate * kFrameFactor / m_bitrate;
      m_frames = frames >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())
                     ? std::numeric_limits<std::uint32_t>::max()
                     : static_cast<std::uint32_t>(frames);
    }
  }

  m_duration = 0;
  if (m_bitrate > 0) {
    m_duration = Saturate32(m_fileSize * 8 / m_bitrate);
  }
}

}  // namespace tw
