#pragma once

#include <optional>

#include "session/session_context.h"

namespace tw {

class PhotoConverter;

// Sends the selected MP3 files and photos one after another, each in a transfer of its own, and the
// background picture. Both return whether a handshake went out.
class MediaBatch {
 public:
  MediaBatch(SessionContext& context, PhotoConverter& converter) : m_context(context), m_converter(converter) {}

  bool SendMediaBatch();
  bool LoadBackgroundPhoto();

 private:
  [[nodiscard]] std::optional<TransferPlan> PrepareFile(const SelectedFileInfo& file);
  [[nodiscard]] std::optional<TransferPlan> PreparePhoto(const SelectedFileInfo& file, Mode mode);
  [[nodiscard]] std::optional<TransferPlan> PrepareMp3(const SelectedFileInfo& file);
  bool SendFile(TransferPlan plan, bool firstOfBatch);

  SessionContext& m_context;
  PhotoConverter& m_converter;
};

}  // namespace tw
