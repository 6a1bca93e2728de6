#pragma once

#include "session/session_context.h"

namespace tw {

// The four image loaders: each asks for a file, prepares the transfer state and sends the handshake.
// Each returns whether the handshake went out.
class ImageLoaders {
 public:
  explicit ImageLoaders(SessionContext& context) : m_context(context) {}

  bool LoadProgramImage();
  bool LoadDatabaseImage();
  bool LoadBootImage();
  bool LoadGzipProgramImage();

 private:
  bool OpenChosenFile(std::string_view filter);
  bool CheckModelName();
  bool Start();

  SessionContext& m_context;
};

}  // namespace tw
