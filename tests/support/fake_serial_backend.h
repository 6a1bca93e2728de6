#pragma once
// A scripted serial device: the test feeds what the program will read (one Feed, one read) and
// inspects every write. FakeLine is shared so it outlives the backends a link opens and closes.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/serial_backend.h"

namespace tw::test {

class FakeLine {
 public:
  void Feed(std::vector<std::uint8_t> bytes);
  void HangUp();
  void FailOpenWith(int error);
  void FailConfigure();
  // A wait that ends because bytes came returns `delay` late, as on a busy machine.
  void RunReaderLate(std::chrono::milliseconds delay);
  // Returns once the reader has waited out a whole limit with nothing fed since the last Feed.
  void AwaitQuietSpell();

  [[nodiscard]] std::vector<std::vector<std::uint8_t>> Writes() const;
  void ClearWrites();
  [[nodiscard]] LineSettings Settings() const;
  [[nodiscard]] std::string Device() const;

 private:
  friend class FakeSerialBackend;

  // Every change wakes a waiting reader.
  template <typename F>
  void Change(F change) {
    {
      const std::lock_guard lock(m_mutex);
      change();
    }
    m_changed.notify_all();
  }
  template <typename T>
  T Read(const T& field) const {
    const std::lock_guard lock(m_mutex);
    return field;
  }

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::vector<std::uint8_t>> m_incoming;
  std::vector<std::vector<std::uint8_t>> m_writes;
  bool m_hungUp = false;
  int m_openError = 0;
  bool m_configureFails = false;
  std::chrono::milliseconds m_lateBy{0};
  bool m_quietSpell = false;
  LineSettings m_settings;
  std::string m_device;
};

class FakeSerialBackend final : public SerialBackend {
 public:
  explicit FakeSerialBackend(std::shared_ptr<FakeLine> line) : m_line(std::move(line)) {}

  int Open(const std::string& device) override;
  bool Configure(const LineSettings& line) override;
  void Purge() override {}
  WaitResult WaitReadable(std::chrono::milliseconds limit) override;
  void Wake() override;
  long Read(std::uint8_t* out, std::size_t max) override;
  bool Write(const std::uint8_t* data, std::size_t count) override;
  void Close() override {}

 private:
  std::shared_ptr<FakeLine> m_line;
  bool m_woken = false;  // guarded by the line's mutex
};

}  // namespace tw::test
