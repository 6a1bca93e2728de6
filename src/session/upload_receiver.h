#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "session/session_context.h"
#include "session/upload_file.h"

namespace tw {

inline constexpr std::size_t kUploadBufferSize = 2097152;

// Takes the bytes of an upload: the database into its file, a memory window into the upload buffer and
// then the hex viewer; acknowledges every 1024 bytes. It owns where the bytes go; the transfer machine
// says when bytes are data.
class UploadReceiver {
 public:
  explicit UploadReceiver(SessionContext& context) : m_context(context) {}

  // A database upload into `target` (checked and opened before the box is asked anything).
  bool BeginFile(const std::string& target);
  // A memory window of `total` bytes into the hex viewer.
  void BeginMemory(std::uint32_t total);
  // How many bytes the upload takes next: up to the next block boundary or the end.
  [[nodiscard]] std::size_t BytesWanted() const;
  void ReceiveUploadData(const std::uint8_t* data, std::size_t count);
  // The upload stopped early: the target keeps what it held before.
  void Discard();
  [[nodiscard]] std::uint32_t ReceivedCount() const { return m_received; }

 private:
  void Begin(std::uint32_t total, bool toFile);
  void EndUpload();

  SessionContext& m_context;
  UploadFile m_file;
  std::string m_target;
  bool m_toFile = false;
  std::uint32_t m_received = 0;
  std::uint32_t m_total = 0;
  std::vector<std::uint8_t> m_buffer = std::vector<std::uint8_t>(kUploadBufferSize);
};

}  // namespace tw
