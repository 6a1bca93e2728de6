#include "media/photo_converter.h"

#include <algorithm>
#include <utility>

#include "media/conversion_folder.h"
#include "media/converter_process.h"
#include "media/file_byte_source.h"
#include "media/media_texts.h"

namespace tw {
namespace {

constexpr std::string_view kPhotoFlag = "0";
constexpr std::string_view kBackgroundFlag = "1";

// Thumbnail region: its first 12288 bytes, zeros up to 12288 when shorter. Then the still picture, then
// zeros for a longer thumbnail's remainder, so the size is max(thumbnail, 12288) + still.
[[nodiscard]] std::vector<std::uint8_t> JoinPhotoContent(const std::vector<std::uint8_t>& thumbnail,
                                                         const std::vector<std::uint8_t>& still) {
  std::vector<std::uint8_t> content(std::max(thumbnail.size(), kThumbnailReserve) + still.size(), 0);
  std::copy_n(thumbnail.begin(), std::min(thumbnail.size(), kThumbnailReserve), content.begin());
  std::copy(still.begin(), still.end(), content.begin() + static_cast<std::ptrdiff_t>(kThumbnailReserve));
  return content;
}

}  // namespace

PhotoConverter::PhotoConverter(PhotoConverterSettings settings, MessageSink onMessage)
    : m_settings(std::move(settings)), m_onMessage(std::move(onMessage)) {}

std::optional<std::vector<std::uint8_t>> PhotoConverter::ConvertPhoto(const std::string& photoPath, Mode mode) {
  const bool isPhoto = mode == Mode::Photo;
  const std::filesystem::path parent = m_settings.tempFolder.value_or(ConversionFolder::DefaultParent());
  const ConversionFolder folder(parent);
  if (!folder.IsCreated()) {
    Report(media_text::CantOpen(ConversionFolder::Pattern(parent).string()));
    return std::nullopt;
  }
  const std::string stillPath = (folder.Path() / kStillFileName).string();
  if (!RunConverter({std::string(kConverterName), photoPath, stillPath,
                     std::string(isPhoto ? kPhotoFlag : kBackgroundFlag), folder.Path().string()})) {
    return std::nullopt;
  }
  auto still = ReadOutput(stillPath);
  if (!still || !isPhoto) {
    return still;
  }
  const auto thumbnail = ReadOutput((folder.Path() / kThumbnailFileName).string());
  if (!thumbnail) {
    return std::nullopt;
  }
  return JoinPhotoContent(*thumbnail, *still);
}

bool PhotoConverter::RunConverter(const std::vector<std::string>& arguments) {
  // The package's own converter first, then the way Windows looks for a program: its own folder, the
  // current folder, then PATH.
  const auto ownFolder = m_settings.programDirectory.value_or(ConverterProcess::OwnFolder());
  std::vector<std::filesystem::path> folders{(ownFolder / TARNWICK_LIBEXEC_DIR).lexically_normal(), ownFolder,
                                             m_settings.startDirectory};
  const auto searchFolders =
      ConverterProcess::SplitSearchPath(m_settings.searchPath.value_or(ConverterProcess::SearchPathVariable()));
  folders.insert(folders.end(), searchFolders.begin(), searchFolders.end());

  const auto program = ConverterProcess::Find(kConverterName, folders);
  auto process = program ? ConverterProcess::Start(*program, arguments, m_settings.startDirectory) : nullptr;
  if (!process) {
    Report(media_text::kCantExecute);
    return false;
  }
  if (!process->WaitFor(m_settings.timeLimit)) {
    Report(media_text::kTimeout);
    process->Kill();
    return false;
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> PhotoConverter::ReadOutput(const std::string& path) {
  FileByteSource file(path);
  std::vector<std::uint8_t> bytes(file.IsOpen() ? static_cast<std::size_t>(file.Size()) : 0);
  if (!file.IsOpen() || file.ReadAt(0, bytes) != bytes.size()) {
    Report(media_text::CantOpen(path));
    return std::nullopt;
  }
  return bytes;
}

void PhotoConverter::Report(std::string_view text) const {
  if (m_onMessage) {
    m_onMessage(std::string(text));
  }
}

}  // namespace tw
