#include "support/fake_serial_backend.h"

#include <algorithm>
#include <thread>

namespace tw::test {

void FakeLine::RunReaderLate(std::chrono::milliseconds delay) {
  Change([&] { m_lateBy = delay; });
}

void FakeLine::Feed(std::vector<std::uint8_t> bytes) {
  Change([&] {
    m_incoming.push_back(std::move(bytes));
    m_quietSpell = false;
  });
}

void FakeLine::AwaitQuietSpell() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return m_quietSpell; });
}

void FakeLine::HangUp() {
  Change([&] { m_hungUp = true; });
}

void FakeLine::FailOpenWith(int error) {
  Change([&] { m_openError = error; });
}

void FakeLine::FailConfigure() {
  Change([&] { m_configureFails = true; });
}

void FakeLine::ClearWrites() {
  Change([&] { m_writes.clear(); });
}

std::vector<std::vector<std::uint8_t>> FakeLine::Writes() const { return Read(m_writes); }

LineSettings FakeLine::Settings() const { return Read(m_settings); }

std::string FakeLine::Device() const { return Read(m_device); }

int FakeSerialBackend::Open(const std::string& device) {
  const std::lock_guard lock(m_line->m_mutex);
  m_line->m_device = device;
  return m_line->m_openError;
}

bool FakeSerialBackend::Configure(const LineSettings& line) {
  const std::lock_guard lock(m_line->m_mutex);
  m_line->m_settings = line;
  return !m_line->m_configureFails;
}

WaitResult FakeSerialBackend::WaitReadable(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_line->m_mutex);
  const auto ready = [this] { return m_woken || m_line->m_hungUp || !m_line->m_incoming.empty(); };
  if (limit < std::chrono::milliseconds::zero()) {
    m_line->m_changed.wait(lock, ready);
  } else if (!m_line->m_changed.wait_for(lock, limit, ready)) {
    m_line->m_quietSpell = true;
    m_line->m_changed.notify_all();
    return WaitResult::TimedOut;
  }
  if (m_woken) {
    return WaitResult::Woken;
  }
  if (m_line->m_lateBy.count() > 0) {
    lock.unlock();
    std::this_thread::sleep_for(m_line->m_lateBy);  // the scheduler runs the reader late
    lock.lock();
  }
  return m_line->m_incoming.empty() ? WaitResult::HangUp : WaitResult::Readable;
}

void FakeSerialBackend::Wake() {
  m_line->Change([this] { m_woken = true; });
}

long FakeSerialBackend::Read(std::uint8_t* out, std::size_t max) {
  const std::lock_guard lock(m_line->m_mutex);
  if (m_line->m_incoming.empty()) {
    return m_line->m_hungUp ? kReadHangUp : 0;
  }
  auto& front = m_line->m_incoming.front();
  const std::size_t n = std::min(max, front.size());
  std::copy_n(front.begin(), n, out);
  front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(n));
  if (front.empty()) {
    m_line->m_incoming.pop_front();
  }
  return static_cast<long>(n);
}

bool FakeSerialBackend::Write(const std::uint8_t* data, std::size_t count) {
  const std::lock_guard lock(m_line->m_mutex);
  m_line->m_writes.emplace_back(data, data + count);
  return true;
}

}  // namespace tw::test
