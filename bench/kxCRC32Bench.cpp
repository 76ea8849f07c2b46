// kxCRC32 beside zlib's crc32 over the same 16 MiB buffer.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

const std::vector<uint8_t>& Buffer() {
  static const std::vector<uint8_t> buffer = [] {
    std::vector<uint8_t> bytes(16u << 20);
    std::mt19937 gen(1);
    for (auto& b : bytes) b = uint8_t(gen());
    return bytes;
  }();
  return buffer;
}

void BM_kxCRC32(benchmark::State& state) {
  const auto& buffer = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(kxCRC32(buffer.data(), uint32_t(buffer.size())));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void BM_zlibCRC32(benchmark::State& state) {
  const auto& buffer = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(crc32(0, buffer.data(), uInt(buffer.size())));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

}  // namespace

BENCHMARK(BM_kxCRC32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_zlibCRC32)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
