// Chunk hand-off round trip over a pty: bytes written at the far end, chunk delivered to the owner,
// chunk released. Reports the median and the 99th percentile in microseconds.

#include <benchmark/benchmark.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "link/serial_comm.h"

namespace {

class WaitingSink : public tw::ChunkSink {
 public:
  void PostReceivedData(std::size_t length) override {
    {
      const std::lock_guard lock(m_mutex);
      m_length = length;
    }
    m_changed.notify_one();
  }
  void PostLineLost() override {}
  void ShowPortMessage(const std::string&) override {}

  std::size_t Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_length != 0; });
    return std::exchange(m_length, 0);
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_length = 0;
};

double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) {
    return 0;
  }
  const auto at = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(at), samples.end());
  return samples[at];
}

void BM_ChunkHandoff(benchmark::State& state) {
  int master = -1;
  int slave = -1;
  std::array<char, 128> name{};
  termios raw{};
  ::cfmakeraw(&raw);
  if (::openpty(&master, &slave, name.data(), &raw, nullptr) != 0) {
    state.SkipWithError("openpty failed");
    return;
  }
  WaitingSink sink;
  tw::CSerialComm comm;
  comm.SetOwner(&sink);
  comm.SetDeviceOverride(1, name.data());
  if (!comm.Open(1, 115200, 8, tw::StopBits::One, tw::Parity::None)) {
    state.SkipWithError("open failed");
    return;
  }
  const std::array<std::uint8_t, tw::kReplySize> reply{0x47, 0, 0x32, 0, 0, 0, 0, 0};
  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (::write(master, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size())) {
      state.SkipWithError("write failed");
      break;
    }
    std::size_t got = 0;
    while (got < reply.size()) {  // a reply may come in two chunks
      got += sink.Wait();
      comm.ReleaseChunk();
    }
    micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  comm.Close();
  ::close(master);
  ::close(slave);
  state.counters["p50_us"] = Percentile(micros, 0.50);
  state.counters["p99_us"] = Percentile(micros, 0.99);
}

BENCHMARK(BM_ChunkHandoff)->Iterations(20000)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
