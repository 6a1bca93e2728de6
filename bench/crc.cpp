// Loader CRC throughput: the table method against the fast methods, on 1 MiB and on one 1 KiB block.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "link/loader_crc.h"
#include "link/loader_crc_variants.h"

namespace {

using Method = std::uint32_t (*)(const std::uint8_t*, std::size_t, std::uint32_t);

const std::vector<std::uint8_t>& Data() {
  static const std::vector<std::uint8_t> data = [] {
    std::vector<std::uint8_t> bytes(1 << 20);
    std::mt19937 gen(1);
    for (auto& b : bytes) {
      b = static_cast<std::uint8_t>(gen());
    }
    return bytes;
  }();
  return data;
}

void Run(benchmark::State& state, Method method) {
  const auto& data = Data();
  const auto size = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(method(data.data(), size, 0));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_CrcTable(benchmark::State& state) { Run(state, &tw::LoaderCrcReference); }
void BM_CrcSlice8(benchmark::State& state) { Run(state, &tw::LoaderCrcSlice8); }
void BM_CrcChosen(benchmark::State& state) { Run(state, &tw::LoaderCrc); }

void BM_CrcClmul(benchmark::State& state) {
  if (!tw::HasCarrylessMultiply()) {
    state.SkipWithError("no carry-less multiply on this CPU");
    return;
  }
  Run(state, &tw::LoaderCrcClmul);
}

constexpr int kMiB = 1 << 20;
constexpr int kBlock = 1024;

BENCHMARK(BM_CrcTable)->Arg(kMiB)->Arg(kBlock);
BENCHMARK(BM_CrcSlice8)->Arg(kMiB)->Arg(kBlock);
BENCHMARK(BM_CrcClmul)->Arg(kMiB)->Arg(kBlock);
BENCHMARK(BM_CrcChosen)->Arg(kMiB)->Arg(kBlock);

}  // namespace

BENCHMARK_MAIN();
