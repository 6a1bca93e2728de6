#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/wire_format.h"
#include "media/media_header_record.h"
#include "session/image_file.h"
#include "session/upload_file.h"

namespace tw {

inline constexpr std::size_t kUploadBufferSize = 2097152;

// Where the last data block came from, so that a resend repeats exactly that block.
enum class LastBlockSource { None, File, Viewer };

// The transfer state the dialog owns for its whole life.
struct TransferState {
  bool download = true;
  bool fileSource = false;
  std::uint32_t transferSize = 0;
  std::uint32_t remaining = 0;
  bool sending = false;
  bool receiving = false;
  bool closing = false;

  ImageFile imageFile;
  std::uint64_t imageStart = 0;  // where the image's blocks begin in the file
  UploadFile uploadFile;
  std::string uploadTarget;

  std::vector<std::uint8_t> mediaBuffer;
  std::optional<MediaHeaderRecord::Bytes> mp3Record;
  std::optional<MediaHeaderRecord::Bytes> photoRecord;

  std::array<std::uint8_t, kBlockSize> blockBuffer{};
  LastBlockSource lastBlockSource = LastBlockSource::None;
  std::uint32_t lastBlockLength = 0;
  std::uint32_t lastViewerOffset = 0;
  std::vector<std::uint8_t> viewerData;  // the viewer's bytes as the download started

  std::uint32_t receivedCount = 0;
  std::uint32_t uploadTotal = 0;
  std::vector<std::uint8_t> uploadBuffer = std::vector<std::uint8_t>(kUploadBufferSize);

  void ReleaseMedia() {
    mediaBuffer.clear();
    mediaBuffer.shrink_to_fit();
    mp3Record.reset();
    photoRecord.reset();
  }
};

}  // namespace tw
