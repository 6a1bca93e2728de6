// Program Download through the whole stack (session, link, pty) into the simulated box: throughput,
// the PC's turnaround from a reply read to the next block written, and, paced at 115200 baud, how close
// the data phase comes to the wire-time bound.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "boxsim/embedded_box.h"
#include "cli/console_host.h"
#include "link/loader_link.h"
#include "media/photo_converter.h"
#include "session/transfer_session.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;

// Notes when the box's replies arrive and when the next data block leaves, and the data phase's bytes.
class TurnaroundProbe {
 public:
  void Trace(bool fromPc, const std::uint8_t* data, std::size_t count) {
    const Clock::time_point now = Clock::now();
    const std::lock_guard lock(m_mutex);
    const bool dataBlock = fromPc && count > kHeaderSize && data[0] == kHeaderMagic && data[2] == cmd::kDataBlock;
    if (dataBlock) {
      if (!m_firstBlock) {
        m_firstBlock = now;
      }
      if (m_lastReply) {
        m_turnarounds.push_back(std::chrono::duration<double, std::micro>(now - *m_lastReply).count());
        m_lastReply.reset();
      }
    } else if (!fromPc) {
      m_lastReply = now;
      m_lastRead = now;
    }
    if (m_firstBlock) {
      m_wireBytes += count;
    }
  }

  [[nodiscard]] double Percentile(double p) {
    if (m_turnarounds.empty()) {
      return 0;
    }
    std::sort(m_turnarounds.begin(), m_turnarounds.end());
    return m_turnarounds[static_cast<std::size_t>(p * static_cast<double>(m_turnarounds.size() - 1))];
  }
  [[nodiscard]] double DataPhaseSeconds() const {
    return m_firstBlock ? std::chrono::duration<double>(m_lastRead - *m_firstBlock).count() : 0;
  }
  [[nodiscard]] std::size_t WireBytes() const { return m_wireBytes; }

 private:
  std::mutex m_mutex;
  std::vector<double> m_turnarounds;
  std::optional<Clock::time_point> m_lastReply;
  std::optional<Clock::time_point> m_firstBlock;
  Clock::time_point m_lastRead;
  std::size_t m_wireBytes = 0;
};

std::string MakeImage(std::size_t size) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("tw-bench-" + std::to_string(size) + ".gz")).string();
  std::vector<char> bytes(size);
  std::uint32_t x = 1;
  for (char& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<char>(x >> 24);
  }
  bytes[0] = 0x1F;
  bytes[1] = static_cast<char>(0x8B);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void ProgramDownload(benchmark::State& state, bool paced) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string image = MakeImage(size);
  for (auto _ : state) {
    BoxOptions box;
    box.paced = paced;
    EmbeddedBox simulator(box);
    ConsoleJob job;
    job.openFile = image;
    ConsoleHost host(job);
    CLoaderLink link;
    link.SetDeviceOverride(1, simulator.DevicePath());
    TurnaroundProbe probe;
    link.SetTrace(
        [&probe](bool fromPc, const std::uint8_t* data, std::size_t count) { probe.Trace(fromPc, data, count); });
    PhotoConverter converter(PhotoConverterSettings{}, [](const std::string&) {});
    CTransferSession session(link, host, converter);
    host.Attach(&session);
    const Clock::time_point start = Clock::now();
    if (!link.Connect(0, kFastestSpeedIndex, &host) || !session.OnStart() || host.Run() != kExitSuccess) {
      state.SkipWithError("the download did not complete");
      break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.counters["MB/s"] = static_cast<double>(size) / seconds / 1e6;
    state.counters["turnaround_p50_us"] = probe.Percentile(0.50);
    state.counters["turnaround_p99_us"] = probe.Percentile(0.99);
    if (paced) {
      const double bound = static_cast<double>(probe.WireBytes()) * 10.0 / 115200.0;
      state.counters["efficiency_%"] = 100.0 * bound / probe.DataPhaseSeconds();
    }
    link.Close();
  }
  std::filesystem::remove(image);
}

void BM_ProgramDownloadUnpaced(benchmark::State& state) { ProgramDownload(state, false); }
void BM_ProgramDownloadPaced115200(benchmark::State& state) { ProgramDownload(state, true); }

BENCHMARK(BM_ProgramDownloadUnpaced)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramDownloadPaced115200)->Arg(64 << 10)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
