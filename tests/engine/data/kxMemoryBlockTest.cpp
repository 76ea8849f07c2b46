#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "support/kxAllocFailure.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Owned = std::unique_ptr<kxMemoryBlock, decltype(&kxFreeMemoryBlock)>;

Owned Own(kxMemoryBlock* block) {
  return Owned(block, &kxFreeMemoryBlock);
}

Owned BlockOf(const Bytes& bytes) {
  Owned block = Own(kxAllocMemoryBlock(bytes.size()));
  if (!bytes.empty()) memcpy(block->data, bytes.data(), bytes.size());
  return block;
}

Bytes BytesOf(const kxMemoryBlock* block) {
  return Bytes(block->data, block->data + block->size);
}

Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes bytes(n);
  for (auto& b : bytes) b = uint8_t(gen());
  return bytes;
}

// The byte-wise algorithm, as the reference for the sliced implementation.
uint32_t ReferenceCRC(const uint8_t* data, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
  }
  return c ^ 0xFFFFFFFFu;
}

// A crunched block built by hand: any size prefix plus a zlib stream of `payload`.
Bytes HandCrunched(const Bytes& payload, uint32_t storedSize) {
  uLongf bound = compressBound(payload.size());
  Bytes out(bound + 4);
  EXPECT_EQ(compress2(out.data() + 4, &bound, payload.data(), payload.size(), 9), Z_OK);
  out.resize(bound + 4);
  for (int i = 0; i < 4; ++i) out[i] = uint8_t(storedSize >> (8 * i));
  return out;
}

}  // namespace

TEST(kxMemoryBlockTest, CRC32MatchesCheckValueReferenceAndZlib) {
  EXPECT_EQ(kxCRC32(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
  // Every length across the 16- and 64-byte steps, at every alignment.
  const Bytes bytes = RandomBytes(4096 + 64, 7);
  EXPECT_EQ(kxCRC32(bytes.data(), 0), 0u);
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t n = 1; n < 1100; ++n) {
      const uint8_t* p = bytes.data() + offset;
      ASSERT_EQ(kxCRC32(p, uint32_t(n)), ReferenceCRC(p, n)) << offset << "/" << n;
    }
  }
  EXPECT_EQ(kxCRC32(bytes.data() + 3, 4093), uint32_t(crc32(0, bytes.data() + 3, 4093)));
  Owned block = BlockOf(Bytes(bytes.begin(), bytes.begin() + 1000));
  EXPECT_EQ(kxMemoryBlockCRC32(block.get()), uint32_t(crc32(0, bytes.data(), 1000)));
}

TEST(kxMemoryBlockTest, CopyIsIndependent) {
  Owned source = BlockOf({1, 2, 3, 4});
  Owned copy = Own(kxCopyMemoryBlock(source.get()));
  ASSERT_NE(copy, nullptr);
  copy->data[0] = 99;
  EXPECT_EQ(BytesOf(source.get()), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(BytesOf(copy.get()), (Bytes{99, 2, 3, 4}));
  EXPECT_EQ(kxCopyMemoryBlock(nullptr), nullptr);
}

TEST(kxMemoryBlockTest, CrunchLayoutAndRoundTrips) {
  // Size prefix 1000 little-endian, then exactly one zlib stream of the bytes.
  const Bytes text = RandomBytes(1000, 1000);
  const Owned block = BlockOf(text);
  Owned crunched = Own(kxCrunchMemoryBlock(block.get()));
  ASSERT_NE(crunched, nullptr);
  ASSERT_GT(crunched->size, 4u);
  EXPECT_EQ(Bytes(crunched->data, crunched->data + 4), (Bytes{0xE8, 0x03, 0x00, 0x00}));
  Bytes plain(text.size());
  uLongf plainLength = plain.size();
  ASSERT_EQ(uncompress(plain.data(), &plainLength, crunched->data + 4, crunched->size - 4), Z_OK);
  EXPECT_EQ(plain, text);
  EXPECT_EQ(BytesOf(block.get()), text) << "crunching changed its source";
  // Four MiB of zeros compress about a thousand to one, close to deflate's
  // limit; the guard against lying size prefixes must not refuse it.
  for (const Bytes& bytes : {Bytes{}, RandomBytes(1, 1), RandomBytes(17, 17),
                             RandomBytes(70000, 70), Bytes(4u << 20, 0)}) {
    SCOPED_TRACE(bytes.size());
    crunched = Own(kxCrunchMemoryBlock(BlockOf(bytes).get()));
    ASSERT_NE(crunched, nullptr);
    Owned expanded = Own(kxDecrunchMemoryBlock(crunched.get()));
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ(BytesOf(expanded.get()), bytes);
  }
}

TEST(kxMemoryBlockTest, DecrunchRejectsHostileBlocks) {
  EXPECT_EQ(kxDecrunchMemoryBlock(nullptr), nullptr);
  // Blocks are exact-size heap copies, so the sanitizer sees any over-read.
  for (size_t n = 0; n < 4; ++n)
    EXPECT_EQ(kxDecrunchMemoryBlock(BlockOf(Bytes(n, 0)).get()), nullptr);
  const Bytes payload = RandomBytes(5000, 5000);
  const size_t tinyStream = HandCrunched({1, 2, 3}, 0).size() - 4;
  Bytes damaged = HandCrunched(payload, 5000);
  damaged[damaged.size() / 2] ^= 0x55;
  damaged[damaged.size() - 1] ^= 0x01;
  Bytes cut = HandCrunched(payload, 5000);
  cut.resize(cut.size() - 10);
  const std::vector<std::pair<const char*, Bytes>> hostile = {
      {"stored size too small", HandCrunched(payload, 4999)},
      {"claims 4 GiB", HandCrunched({1, 2, 3}, 0xFFFFFFFFu)},
      {"claims more than deflate can give", HandCrunched({1, 2, 3}, uint32_t(tinyStream * 2000))},
      {"damaged stream", damaged},
      {"cut stream", cut}};
  for (const auto& [what, bytes] : hostile) {
    SCOPED_TRACE(what);
    EXPECT_EQ(kxDecrunchMemoryBlock(BlockOf(bytes).get()), nullptr);
  }
  // A stored size larger than the real one: the real size is reported.
  Owned expanded = Own(kxDecrunchMemoryBlock(BlockOf(HandCrunched(payload, 6000)).get()));
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(BytesOf(expanded.get()), payload);
}

TEST(kxMemoryBlockTest, CrunchRefusesBlocksOfFourGiB) {
  // The block lies about its size; refusal must come before any byte is read.
  uint8_t bytes[16] = {};
  kxMemoryBlock huge = {bytes, 1ull << 32};
  EXPECT_EQ(kxCrunchMemoryBlock(&huge), nullptr);
  EXPECT_EQ(kxCrunchMemoryBlock(nullptr), nullptr);
}

TEST(kxMemoryBlockTest, FilesRoundTripAndFailures) {
  const fs::path dir =
      fs::temp_directory_path() / ("kxMemoryBlockTest-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::string name = (dir / "block.bin").string();
  // Each write replaces the file rather than appending to it.
  for (const Bytes& bytes : {RandomBytes(100000, 11), Bytes{9, 8, 7}, Bytes{}}) {
    SCOPED_TRACE(bytes.size());
    ASSERT_TRUE(kxWriteMemoryBlock(name.c_str(), BlockOf(bytes).get()));
    Owned read = Own(kxReadMemoryBlock(name.c_str()));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(BytesOf(read.get()), bytes);
  }
  EXPECT_EQ(kxReadMemoryBlock((dir / "missing.bin").c_str()), nullptr);
  EXPECT_EQ(kxReadMemoryBlock(nullptr), nullptr);
  EXPECT_EQ(kxReadMemoryBlock(dir.c_str()), nullptr) << "a directory is not a file";
  EXPECT_FALSE(kxWriteMemoryBlock((dir / "no/such/dir.bin").c_str(), BlockOf({1}).get()));
  EXPECT_FALSE(kxWriteMemoryBlock(name.c_str(), nullptr));
  fs::remove_all(dir);
}

TEST(kxMemoryBlockTest, EndlessDevicesAreReadForTheLengthTheyReport) {
  // A device that never runs out of bytes reports a length of 0; reading it
  // to its end would never finish.
  for (const char* device : {"/dev/zero", "/dev/full"}) {
    SCOPED_TRACE(device);
    Owned block = Own(kxReadMemoryBlock(device));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->size, 0u);
  }
}

TEST(kxMemoryBlockTest, RunningOutOfMemoryGivesNullAndLeavesNothing) {
  const Bytes bytes = RandomBytes(5000, 3);
  Owned plain = BlockOf(bytes);
  Owned crunched = Own(kxCrunchMemoryBlock(plain.get()));
  const std::string name =
      (fs::temp_directory_path() / ("kxMemoryBlockTest-" + std::to_string(std::random_device{}())))
          .string();
  ASSERT_TRUE(kxWriteMemoryBlock(name.c_str(), plain.get()));
  // Every result is either whole or null (a refused shrink of a buffer
  // costs nothing); the sanitizer build checks that a null result leaves
  // nothing allocated behind. The crunched result is checked by expanding.
  auto expanded = [](const kxMemoryBlock* b) {
    return BytesOf(Own(kxDecrunchMemoryBlock(b)).get());
  };
  const std::vector<
      std::pair<std::function<kxMemoryBlock*()>, std::function<Bytes(kxMemoryBlock*)>>>
      makers = {{[] { return kxAllocMemoryBlock(64); },
                 [](kxMemoryBlock* b) { return Bytes(size_t(b->size)); }},
                {[&] { return kxCopyMemoryBlock(plain.get()); }, BytesOf},
                {[&] { return kxCrunchMemoryBlock(plain.get()); }, expanded},
                {[&] { return kxDecrunchMemoryBlock(crunched.get()); }, BytesOf},
                {[&] { return kxReadMemoryBlock(name.c_str()); }, BytesOf}};
  for (size_t m = 0; m < makers.size(); ++m) {
    SCOPED_TRACE(m);
    const Bytes whole = m == 0 ? Bytes(64) : bytes;
    kxTest::ForEachAllocationFailure([&] { return Own(makers[m].first()); },
                                     [&](const Owned& made, bool refused) {
                                       EXPECT_TRUE(made || refused);
                                       if (made) {
                                         EXPECT_EQ(makers[m].second(made.get()), whole);
                                       }
                                     });
  }
  fs::remove(name);
}
