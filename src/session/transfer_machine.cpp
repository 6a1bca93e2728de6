#include "session/transfer_machine.h"

#include <algorithm>

#include "session/session_texts.h"

namespace tw {

void TransferMachine::Begin(TransferPlan plan) {
  m_plan = std::move(plan);
  m_phase = TransferPhase::Handshake;
  m_end = TransferEnd::None;
  m_last = {};
  m_sentAny = false;
  m_next = 0;
  m_takingData = false;
}

void TransferMachine::Advance(TransferPhase phase) {
  if (Active()) {
    m_phase = phase;
  }
}

std::optional<DataBlock> TransferMachine::FirstBlock() {
  if (!Active() || !m_plan.download || !m_plan.source) {
    return std::nullopt;
  }
  // A repeated RPL_SEND_DATA starts the image over.
  m_phase = TransferPhase::Sending;
  m_next = 0;
  m_sentAny = false;
  return ReadBlock();
}

std::optional<DataBlock> TransferMachine::NextBlock() {
  if (m_phase != TransferPhase::Sending || AllSent()) {
    return std::nullopt;
  }
  return ReadBlock();
}

std::optional<DataBlock> TransferMachine::RepeatBlock() {
  if (m_phase != TransferPhase::Sending || !m_sentAny) {
    return std::nullopt;
  }
  return m_last;
}

bool TransferMachine::AllSent() const { return m_sentAny && m_next >= m_plan.size; }

std::optional<DataBlock> TransferMachine::ReadBlock() {
  const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_plan.size - m_next, kBlockSize));
  if (!m_plan.source->Read(m_next, m_block.data(), n)) {
    m_prompts.MessageBox(text::CantRead(m_plan.source->Name()));
    End(TransferEnd::Failed);
    return std::nullopt;
  }
  m_last = DataBlock{m_block.data(), n, m_next};
  m_sentAny = true;
  m_next += n;
  return m_last;
}

void TransferMachine::StartTakingData() {
  if (Active() && !m_plan.download) {
    m_phase = TransferPhase::Receiving;
    m_takingData = true;
  }
}

bool TransferMachine::End(TransferEnd reason) {
  if (!Active()) {
    return false;
  }
  m_phase = TransferPhase::Ended;
  m_end = reason;
  m_takingData = false;
  m_plan.source.reset();
  if (reason != TransferEnd::Success || !m_plan.batchFile) {
    m_result.OperationFinished(reason == TransferEnd::Success);
  }
  return true;
}

}  // namespace tw
