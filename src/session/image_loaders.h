#pragma once

#include <optional>
#include <string_view>

#include "session/image_file.h"
#include "session/session_context.h"

namespace tw {

// The four image loaders: each asks for a file, checks it and, when it is accepted, starts its transfer
// with the file as block source. Each returns whether the handshake went out.
class ImageLoaders {
 public:
  explicit ImageLoaders(SessionContext& context) : m_context(context) {}

  bool LoadProgramImage();
  bool LoadDatabaseImage();
  bool LoadBootImage();
  bool LoadGzipProgramImage();

 private:
  [[nodiscard]] std::optional<ImageFile> OpenChosenFile(std::string_view filter);
  bool CheckModelName(ImageFile& file);
  bool Start(Mode mode, ImageFile file, std::uint64_t start);

  SessionContext& m_context;
};

}  // namespace tw
