// kxDecrunchMemoryBlock beside a plain zlib uncompress of the same stream.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <string>

#include "data/kxLittleEndian.h"
#include "data/kxMemoryBlock.h"

namespace {

// About 4 MiB of text-like data: the kind of content the packs hold.
kxMemoryBlock* Crunched() {
  static kxMemoryBlock* crunched = [] {
    std::string text;
    uint32_t state = 7;
    while (text.size() < (4u << 20)) {
      state = state * 1103515245u + 12345u;
      text += "line " + std::to_string(state >> 20) + " of the sample text\r\n";
    }
    kxMemoryBlock plain = {reinterpret_cast<uint8_t*>(text.data()), text.size()};
    return kxCrunchMemoryBlock(&plain);
  }();
  return crunched;
}

uint64_t ExpandedSize(const kxMemoryBlock* crunched) {
  return kxLoadLE32(crunched->data);
}

void BM_kxDecrunch(benchmark::State& state) {
  kxMemoryBlock* crunched = Crunched();
  for (auto _ : state) {
    kxMemoryBlock* expanded = kxDecrunchMemoryBlock(crunched);
    benchmark::DoNotOptimize(expanded->data);
    kxFreeMemoryBlock(expanded);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(ExpandedSize(crunched)));
}

void BM_zlibUncompress(benchmark::State& state) {
  kxMemoryBlock* crunched = Crunched();
  const uint64_t size = ExpandedSize(crunched);
  for (auto _ : state) {
    // Uninitialised like the block kxDecrunchMemoryBlock allocates.
    std::unique_ptr<uint8_t[]> out(new uint8_t[size]);
    uLongf length = size;
    benchmark::DoNotOptimize(
        uncompress(out.get(), &length, crunched->data + 4, crunched->size - 4));
    benchmark::DoNotOptimize(out.get());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

}  // namespace

BENCHMARK(BM_kxDecrunch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_zlibUncompress)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
