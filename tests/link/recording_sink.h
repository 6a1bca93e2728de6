#pragma once
// A link owner for tests: notifications are queued for the test's thread, which plays the owner's
// thread. It also notes a chunk posted while the previous one was still unreleased.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/chunk_sink.h"
#include "link/serial_comm.h"

namespace tw::test {

struct SinkEvent {
  enum class Kind { Chunk, LineLost } kind;
  std::size_t length = 0;
};

class RecordingSink : public ChunkSink {
 public:
  void PostReceivedData(std::size_t length) override {
    const std::lock_guard lock(m_mutex);
    if (m_holding) {
      ++m_overlaps;
    }
    m_holding = true;
    m_events.push_back({SinkEvent::Kind::Chunk, length});
    m_changed.notify_all();
  }

  void PostLineLost() override {
    const std::lock_guard lock(m_mutex);
    ++m_linesLost;
    m_events.push_back({SinkEvent::Kind::LineLost, 0});
    m_changed.notify_all();
  }

  void ShowPortMessage(const std::string& text) override { messages.push_back(text); }

  // Waits for the next notification; nothing after `limit` means the link is stuck.
  std::optional<SinkEvent> Next(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, limit, [this] { return !m_events.empty(); })) {
      return std::nullopt;
    }
    const SinkEvent event = m_events.front();
    m_events.pop_front();
    return event;
  }

  // The next chunk's bytes, read the way the owner reads them.
  std::optional<std::vector<std::uint8_t>> NextChunk(const CSerialComm& link) {
    const auto event = Next();
    if (!event || event->kind != SinkEvent::Kind::Chunk) {
      return std::nullopt;
    }
    const std::uint8_t* bytes = link.ReceiveBuffer();
    return std::vector<std::uint8_t>(bytes, bytes + event->length);
  }

  void Release(CSerialComm& link) {
    {
      const std::lock_guard lock(m_mutex);
      m_holding = false;
    }
    link.ReleaseChunk();
  }

  [[nodiscard]] int Overlaps() const {
    const std::lock_guard lock(m_mutex);
    return m_overlaps;
  }

  [[nodiscard]] int LinesLost() const {
    const std::lock_guard lock(m_mutex);
    return m_linesLost;
  }

  std::vector<std::string> messages;  // owner's thread only

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<SinkEvent> m_events;
  bool m_holding = false;
  int m_overlaps = 0;
  int m_linesLost = 0;
};

}  // namespace tw::test
