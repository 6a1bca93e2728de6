#pragma once

#include "session/session_context.h"

namespace tw {

class PhotoConverter;

// Sends the selected MP3 files and photos one after another, each in a transfer session of its own,
// and the background picture. Both return whether a handshake went out.
class MediaBatch {
 public:
  MediaBatch(SessionContext& context, PhotoConverter& converter) : m_context(context), m_converter(converter) {}

  bool SendMediaBatch();
  bool LoadBackgroundPhoto();
  [[nodiscard]] bool Waiting() const { return m_waiting; }

 private:
  enum class Prepared { Ready, Failed };
  Prepared PrepareFirstFile(const SelectedFileInfo& file);
  Prepared PreparePhoto(const SelectedFileInfo& file, Mode mode);
  Prepared PrepareMp3(const SelectedFileInfo& file);
  bool SendFirstFile(bool firstOfBatch);

  SessionContext& m_context;
  PhotoConverter& m_converter;
  bool m_waiting = false;
};

}  // namespace tw
