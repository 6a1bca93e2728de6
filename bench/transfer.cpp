// Program Download through the whole stack (session, link, pty) into the simulated box: throughput,
// the PC's turnaround from a reply read to the next block written, and, paced at 115200 baud, how close
// the data phase comes to the wire-time bound, for one box and for up to 16 boxes at once.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "boxsim/embedded_box.h"
#include "cli/console_host.h"
#include "link/loader_link.h"
#include "media/photo_converter.h"
#include "session/transfer_session.h"
#include "support/test_bytes.h"

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
  std::string path = (std::filesystem::temp_directory_path() / ("tw-bench-" + std::to_string(size) + ".gz")).string();
  const tw::test::Bytes bytes = tw::test::GzipImage(size, 0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

struct DownloadFigures {
  bool completed = false;
  double seconds = 0;
  double efficiency = 0;  // the wire-time bound over the data phase, paced runs only
  double p50 = 0;
  double p99 = 0;
};

// One Program Download into a box of its own, with its own host, link and session.
DownloadFigures DownloadOnce(const std::string& image, bool paced) {
  BoxOptions box;
  box.paced = paced;
  EmbeddedBox simulator(box);
  ConsoleJob job;
  job.openFile = image;
  ConsoleHost host(job);
  LoaderLink link;
  link.SetDeviceOverride(1, simulator.DevicePath());
  TurnaroundProbe probe;
  link.SetTrace(
      [&probe](bool fromPc, const std::uint8_t* data, std::size_t count) { probe.Trace(fromPc, data, count); });
  PhotoConverter converter(PhotoConverterSettings{}, [](const std::string&) {});
  TransferSession session(link, AllRolesOf(host), converter);
  host.Attach(&session);
  DownloadFigures figures;
  const Clock::time_point start = Clock::now();
  figures.completed = link.Connect(ComPort{}, kFastestSpeed, &host) && session.OnStart() && host.Run() == kExitSuccess;
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  figures.p50 = probe.Percentile(0.50);
  figures.p99 = probe.Percentile(0.99);
  const double bound = static_cast<double>(probe.WireBytes()) * 10.0 / 115200.0;
  figures.efficiency = probe.DataPhaseSeconds() > 0 ? 100.0 * bound / probe.DataPhaseSeconds() : 0;
  link.Close();
  return figures;
}

void ProgramDownload(benchmark::State& state, bool paced) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string image = MakeImage(size);
  for (auto _ : state) {
    const DownloadFigures figures = DownloadOnce(image, paced);
    if (!figures.completed) {
      state.SkipWithError("the download did not complete");
      break;
    }
    state.SetIterationTime(figures.seconds);
    state.counters["MB/s"] = static_cast<double>(size) / figures.seconds / 1e6;
    state.counters["turnaround_p50_us"] = figures.p50;
    state.counters["turnaround_p99_us"] = figures.p99;
    if (paced) {
      state.counters["efficiency_%"] = figures.efficiency;
    }
  }
  std::filesystem::remove(image);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// N boxes at once, each on a thread of its own as tarnwick-cli runs them, every box paced at 115200:
// the worst box's efficiency, the CPU time of the whole process per MB sent, and the peak resident size.
void BM_ParallelBoxesPaced115200(benchmark::State& state) {
  const auto boxes = static_cast<std::size_t>(state.range(0));
  constexpr std::size_t kSize = 64 << 10;
  const std::string image = MakeImage(kSize);
  for (auto _ : state) {
    std::vector<DownloadFigures> figures(boxes);
    const double cpuBefore = CpuSeconds();
    const Clock::time_point start = Clock::now();
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < boxes; ++i) {
      threads.emplace_back([&figures, &image, i] { figures[i] = DownloadOnce(image, true); });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (!std::all_of(figures.begin(), figures.end(), [](const DownloadFigures& f) { return f.completed; })) {
      state.SkipWithError("a download did not complete");
      break;
    }
    const auto efficiency = [](const DownloadFigures& f) { return f.efficiency; };
    std::vector<double> efficiencies(boxes);
    std::transform(figures.begin(), figures.end(), efficiencies.begin(), efficiency);
    state.counters["min_efficiency_%"] = *std::min_element(efficiencies.begin(), efficiencies.end());
    state.counters["cpu_s_per_MB"] = (CpuSeconds() - cpuBefore) / (static_cast<double>(boxes * kSize) / 1e6);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
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
BENCHMARK(BM_ParallelBoxesPaced115200)
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
