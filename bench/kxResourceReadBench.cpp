// kxResource::ReadFromMemoryBlock of a 10 MiB pack of 60 entries, beside the
// floor it is measured against: one CRC pass plus one copy of the image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"

namespace {

kxMemoryBlock* PackImage() {
  static kxMemoryBlock* image = [] {
    constexpr int kEntries = 60;
    constexpr uint64_t kTotal = 10u << 20;
    std::mt19937 gen(2);
    kxResource pack;
    for (int i = 0; i < kEntries; ++i) {
      kxMemoryBlock* block = kxAllocMemoryBlock(kTotal / kEntries);
      for (uint64_t k = 0; k < block->size; ++k) block->data[k] = uint8_t(gen());
      pack.Append(block, ("entry" + std::to_string(i)).c_str());
      kxFreeMemoryBlock(block);
    }
    return pack.WriteToMemoryBlock();
  }();
  return image;
}

void BM_ReadFromMemoryBlock(benchmark::State& state) {
  kxMemoryBlock* image = PackImage();
  for (auto _ : state) {
    kxResource pack;
    if (!pack.ReadFromMemoryBlock(image)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(pack.Length());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image->size));
}

void BM_CRCPassPlusCopy(benchmark::State& state) {
  kxMemoryBlock* image = PackImage();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kxMemoryBlockCRC32(image));
    kxMemoryBlock* copy = kxCopyMemoryBlock(image);
    benchmark::DoNotOptimize(copy->data);
    kxFreeMemoryBlock(copy);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image->size));
}

}  // namespace

BENCHMARK(BM_ReadFromMemoryBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CRCPassPlusCopy)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
