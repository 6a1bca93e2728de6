#pragma once

#include <cstddef>
#include <cstdint>

#include "session/session_context.h"

namespace tw {

// Takes the bytes of an upload: the database into its file, a memory window into the upload buffer and
// then the hex viewer; acknowledges every 1024 bytes.
class UploadReceiver {
 public:
  explicit UploadReceiver(SessionContext& context) : m_context(context) {}

  // Starts counting at 0 and sets the expected total for the upload that is starting.
  void Begin(std::uint32_t total);
  // How many bytes the upload takes next: up to the next block boundary or the end.
  [[nodiscard]] std::size_t BytesWanted() const;
  void ReceiveUploadData(const std::uint8_t* data, std::size_t count);

 private:
  void EndUpload();

  SessionContext& m_context;
};

}  // namespace tw
