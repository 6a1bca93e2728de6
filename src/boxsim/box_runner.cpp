#include "boxsim/box_runner.h"

#include <algorithm>
#include <array>

namespace tw {

BoxRunner::BoxRunner(BoxOptions options, BoxEndpoint& endpoint, const StopSignal& stop)
    : m_endpoint(endpoint),
      m_stop(stop),
      m_pacer(options.paced && !endpoint.PacedByLine(), options.idleBaud),
      m_loader(std::move(options), *this) {}

void BoxRunner::Run() {
  std::array<std::uint8_t, kMaxChunk> buffer{};
  for (;;) {
    if (!m_endpoint.WaitReadable(m_stop)) {
      return;
    }
    const long got = m_endpoint.Read(buffer.data(), buffer.size());
    if (got < 0) {
      return;
    }
    if (got == 0) {
      continue;
    }
    const auto size = static_cast<std::size_t>(got);
    // Bytes cannot be seen before the wire has carried them.
    if (!m_stop.Sleep(m_pacer.Receive(size) - LinePacer::Clock::now())) {
      return;
    }
    {
      std::lock_guard lock(m_mutex);
      m_loader.Feed(buffer.data(), size);
    }
    m_fed.notify_all();
  }
}

bool BoxRunner::WaitForTransfers(unsigned count, std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  return m_fed.wait_for(lock, limit, [&] { return m_loader.FinishedTransfers() >= count; });
}

void BoxRunner::Write(const std::uint8_t* data, std::size_t size) {
  if (!m_pacer.Enabled()) {
    m_endpoint.Write(data, size, m_stop);
    return;
  }
  while (size > 0) {
    const std::size_t slice = std::min(size, m_pacer.SliceSize());
    if (!m_endpoint.Write(data, slice, m_stop) || !m_stop.Sleep(m_pacer.Transmit(slice) - LinePacer::Clock::now())) {
      return;
    }
    data += slice;
    size -= slice;
  }
}

void BoxRunner::Pause(std::chrono::milliseconds duration) {
  [[maybe_unused]] const bool slept = m_stop.Sleep(duration);
}

void BoxRunner::SetBaud(std::uint32_t baud) {
  m_pacer.SetBaud(baud);
  m_endpoint.SetBaud(baud);
}

}  // namespace tw
