#pragma once
// The box's resident loader: reads the PC's byte stream, leads the conversation with its replies, keeps
// memory and disk. It never waits for anything itself: bytes come in through Feed, replies go out
// through the BoxLine, so it can be driven byte by byte without threads.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "boxsim/box_line.h"
#include "boxsim/box_memory.h"
#include "boxsim/box_options.h"
#include "boxsim/box_trace.h"
#include "boxsim/media_disk.h"
#include "boxsim/reply_sender.h"
#include "link/wire_format.h"

namespace tw {

class BoxLoader {
 public:
  BoxLoader(BoxOptions options, BoxLine& line);

  void Feed(const std::uint8_t* data, std::size_t size);

  [[nodiscard]] BoxMemory& Memory() { return m_memory; }
  [[nodiscard]] const BoxMemory& Memory() const { return m_memory; }
  [[nodiscard]] const MediaDisk& Disk() const { return m_disk; }
  // Downloads completed and uploads fully acknowledged since the box started.
  [[nodiscard]] unsigned FinishedTransfers() const { return m_finished; }
  // Why the saved memory could not be read at start; empty when it could (or there was none).
  [[nodiscard]] const std::string& StateProblem() const { return m_stateProblem; }

 private:
  enum class State {
    Idle,            // waiting for the handshake
    Greeted,         // RPL_HELLO sent, waiting for CMD_SET_SPEED
    SpeedAcked,      // waiting for CMD_SPEED_CONFIRM
    AwaitRequest,    // RPL_GET_REQUEST sent
    RequestPayload,  // header read, 44 bytes to come
    AwaitBlock,      // waiting for a CMD_DATA_BLOCK header
    BlockPayload,    // header read, the block's bytes to come
    AwaitUploadAck,  // an upload block went out
  };

  struct Download {
    Mode mode = Mode::Program;
    std::uint64_t address = 0;
    std::uint32_t size = 0;
    std::uint32_t received = 0;
    std::uint8_t counter = 0;  // mirrors the PC's sequence counter
    bool resendAsked = false;
  };

  struct Upload {
    const SparseMemory* area = nullptr;
    std::uint64_t address = 0;
    std::uint32_t size = 0;
    std::uint32_t sent = 0;
    unsigned blocks = 0;
  };

  [[nodiscard]] bool Step();
  [[nodiscard]] bool StepIdle();
  [[nodiscard]] bool StepHeader();
  [[nodiscard]] std::size_t Available() const { return m_input.size() - m_pos; }
  [[nodiscard]] const std::uint8_t* Next() const { return m_input.data() + m_pos; }
  void Skip(std::size_t count);
  void Discard(std::size_t count);

  void OnHandshake();
  void OnHeader(const CommandHeader& header);
  void OnSetSpeed(const CommandHeader& header);
  void OnSpeedConfirm();
  void OnRequest(const std::uint8_t* payload);
  void OnBlock(const std::uint8_t* payload, std::size_t size);
  void OnUploadAck();

  void StartDownload(Mode mode, std::uint32_t address, std::uint32_t size, const std::uint8_t* model);
  [[nodiscard]] std::optional<std::uint8_t> RefuseDownload(Mode mode, std::uint32_t address, std::uint32_t size,
                                                           const std::uint8_t* model) const;
  void StartUpload(Mode mode, std::uint32_t address, std::uint32_t size);
  void SendUploadBlock();

  [[nodiscard]] std::size_t BlockLength() const;
  [[nodiscard]] bool SequenceMatches(std::uint8_t sequence) const;
  [[nodiscard]] bool TakenAsCorrupted(const std::uint8_t* payload, std::size_t size, unsigned block) const;
  // Stores a good block; false when the box refused it and has answered.
  [[nodiscard]] bool Store(const std::uint8_t* payload, std::size_t size, unsigned block);
  void StoreInMemory(const std::uint8_t* payload, std::size_t size);
  [[nodiscard]] bool StoreMediaRecord(const std::uint8_t* record);
  void FinishDownload();
  void Inject(unsigned block);
  void EndSession(std::uint8_t reply);
  void Reset();
  void SaveState();

  [[nodiscard]] static bool IsSequenced(Mode mode);
  [[nodiscard]] static bool IsMedia(Mode mode);
  [[nodiscard]] static bool WritesFlash(Mode mode);

  BoxOptions m_options;
  BoxLine& m_line;
  BoxTrace m_trace;
  ReplySender m_sender;
  BoxMemory m_memory;
  MediaDisk m_disk;

  State m_state = State::Idle;
  std::vector<std::uint8_t> m_input;
  std::size_t m_pos = 0;
  std::size_t m_skipped = 0;
  CommandHeader m_header{};
  std::uint32_t m_pendingBaud;
  Download m_download;
  Upload m_upload;
  unsigned m_finished = 0;
  std::string m_stateProblem;
};

}  // namespace tw
