#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "link/wire_format.h"
#include "session/block_source.h"
#include "session/operation_result.h"
#include "session/prompts.h"

namespace tw {

// Handshake: the handshake string went out. Negotiated: the line runs at the chosen speed. Requested:
// the request went out. Sending/Receiving: data blocks flow. Ended: see TransferEnd.
enum class TransferPhase { Idle, Handshake, Negotiated, Requested, Sending, Receiving, Ended };
enum class TransferEnd { None, Success, Refused, Failed, LineLost, Cancelled };

// What an accepted operation fixes for the whole transfer.
struct TransferPlan {
  Mode mode = Mode::GzipProgram;
  bool download = true;
  std::uint32_t address = 0;            // what the request carries as start address
  std::uint32_t size = 0;               // the announced transfer size
  std::unique_ptr<BlockSource> source;  // a download's bytes
  bool viewerBlocks = false;            // hex-viewer framing: sequence 0, header and payload apart
  bool batchFile = false;               // one file of a media batch: the batch reports the end
};

// One data block ready to go out.
struct DataBlock {
  const std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  std::uint64_t offset = 0;
};

// The one owner of a transfer's state: every change of phase happens here, the block source is
// replaced only when a new operation is accepted, and how the transfer ended is recorded (and reported
// to the host) once. An ended transfer hands out no more blocks.
class TransferMachine {
 public:
  TransferMachine(Prompts& prompts, OperationResult& result) : m_prompts(prompts), m_result(result) {}

  // A new operation was accepted: whatever ran before is dropped without a report.
  void Begin(TransferPlan plan);
  void Negotiated() { Advance(TransferPhase::Negotiated); }
  void Requested() { Advance(TransferPhase::Requested); }

  // Downloads. Nothing when no block may go out; a source that cannot be read ends the transfer.
  [[nodiscard]] std::optional<DataBlock> FirstBlock();
  [[nodiscard]] std::optional<DataBlock> NextBlock();
  [[nodiscard]] std::optional<DataBlock> RepeatBlock();
  // Every block went out: the box's next acknowledgement (or RPL_COMPLETE) covers the last.
  [[nodiscard]] bool AllSent() const;

  // Uploads: whether received bytes are data rather than reply frames.
  void StartTakingData();
  void StopTakingData() { m_takingData = false; }
  [[nodiscard]] bool TakingData() const { return m_takingData; }

  // Records the end once and reports it; false when the transfer had already ended (or never began).
  bool End(TransferEnd reason);

  void SetBatchWaiting(bool waiting) { m_batchWaiting = waiting; }
  void SetClosing() { m_closing = true; }

  [[nodiscard]] TransferPhase Phase() const { return m_phase; }
  [[nodiscard]] TransferEnd EndReason() const { return m_end; }
  [[nodiscard]] bool Active() const { return m_phase != TransferPhase::Idle && m_phase != TransferPhase::Ended; }
  // A transfer is under way or a batch waits for its file to be stored.
  [[nodiscard]] bool Running() const { return Active() || m_batchWaiting; }
  [[nodiscard]] bool Closing() const { return m_closing; }
  [[nodiscard]] bool BatchWaiting() const { return m_batchWaiting; }
  [[nodiscard]] const TransferPlan& Plan() const { return m_plan; }
  [[nodiscard]] std::uint64_t SentBytes() const { return m_next; }

 private:
  void Advance(TransferPhase phase);
  [[nodiscard]] std::optional<DataBlock> ReadBlock();

  Prompts& m_prompts;
  OperationResult& m_result;
  TransferPlan m_plan;
  TransferPhase m_phase = TransferPhase::Idle;
  TransferEnd m_end = TransferEnd::None;
  std::array<std::uint8_t, kBlockSize> m_block{};
  DataBlock m_last;
  bool m_sentAny = false;
  std::uint64_t m_next = 0;  // offset of the next new block
  bool m_takingData = false;
  bool m_batchWaiting = false;
  bool m_closing = false;
};

}  // namespace tw
