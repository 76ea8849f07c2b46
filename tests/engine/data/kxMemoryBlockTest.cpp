#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

namespace fs = std::filesystem;

kxMemoryBlock* BlockOf(const std::vector<uint8_t>& bytes) {
  kxMemoryBlock* block = kxAllocMemoryBlock(bytes.size());
  if (block && !bytes.empty()) memcpy(block->data, bytes.data(), bytes.size());
  return block;
}

std::vector<uint8_t> BytesOf(const kxMemoryBlock* block) {
  return std::vector<uint8_t>(block->data, block->data + block->size);
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = uint8_t(gen());
  return bytes;
}

// Compressible but not trivial: runs of a few symbols.
std::vector<uint8_t> TextLikeBytes(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t("kx engine data "[i % 15] + (i / 997) % 3);
  return bytes;
}

// The byte-wise algorithm, as the reference for the sliced implementation.
uint32_t ReferenceCRC(const uint8_t* data, size_t n) {
  uint32_t table[256];
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// A crunched block built by hand: size prefix plus a zlib stream of `payload`.
std::vector<uint8_t> HandCrunched(const std::vector<uint8_t>& payload, uint32_t storedSize) {
  uLongf bound = compressBound(payload.size());
  std::vector<uint8_t> out(bound + 4);
  EXPECT_EQ(compress2(out.data() + 4, &bound, payload.data(), payload.size(), 9), Z_OK);
  out.resize(bound + 4);
  out[0] = uint8_t(storedSize);
  out[1] = uint8_t(storedSize >> 8);
  out[2] = uint8_t(storedSize >> 16);
  out[3] = uint8_t(storedSize >> 24);
  return out;
}

class TempDir {
 public:
  TempDir() {
    path =
        fs::temp_directory_path() / ("kxMemoryBlockTest-" + std::to_string(std::random_device{}()));
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string File(const char* name) const { return (path / name).string(); }
  fs::path path;
};

}  // namespace

TEST(kxMemoryBlockTest, CRC32KnownValuesAndAgreementWithZlib) {
  const char* check = "123456789";
  EXPECT_EQ(kxCRC32(reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);
  const uint8_t one = 0;
  EXPECT_EQ(kxCRC32(&one, 0), 0u);

  // Every length around the 16-byte step and every start alignment.
  const std::vector<uint8_t> bytes = RandomBytes(4096 + 64, 7);
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t n = 1; n < 100; ++n) {
      const uint8_t* p = bytes.data() + offset;
      ASSERT_EQ(kxCRC32(p, uint32_t(n)), ReferenceCRC(p, n)) << offset << "/" << n;
    }
  }
  // Lengths across the 64-byte folding blocks and their 16-byte tails.
  for (size_t offset : {0u, 5u}) {
    for (size_t n = 100; n < 1100; ++n) {
      const uint8_t* p = bytes.data() + offset;
      ASSERT_EQ(kxCRC32(p, uint32_t(n)), ReferenceCRC(p, n)) << offset << "/" << n;
    }
  }
  EXPECT_EQ(kxCRC32(bytes.data(), 4096), uint32_t(crc32(0, bytes.data(), 4096)));
  EXPECT_EQ(kxCRC32(bytes.data() + 3, 4093), uint32_t(crc32(0, bytes.data() + 3, 4093)));
}

TEST(kxMemoryBlockTest, BlockCRC32UsesTheBlocksBytes) {
  kxMemoryBlock* block = BlockOf(RandomBytes(1000, 3));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(kxMemoryBlockCRC32(block), uint32_t(crc32(0, block->data, 1000)));
  block->data[500] ^= 1;
  EXPECT_EQ(kxMemoryBlockCRC32(block), uint32_t(crc32(0, block->data, 1000)));
  kxFreeMemoryBlock(block);
}

TEST(kxMemoryBlockTest, AllocCopyAndFree) {
  kxMemoryBlock* empty = kxAllocMemoryBlock(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->size, 0u);
  kxMemoryBlock* emptyCopy = kxCopyMemoryBlock(empty);
  ASSERT_NE(emptyCopy, nullptr);
  EXPECT_EQ(emptyCopy->size, 0u);
  kxFreeMemoryBlock(empty);
  kxFreeMemoryBlock(emptyCopy);
  kxFreeMemoryBlock(nullptr);

  kxMemoryBlock* source = BlockOf({1, 2, 3, 4});
  kxMemoryBlock* copy = kxCopyMemoryBlock(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->data, source->data);
  EXPECT_EQ(BytesOf(copy), BytesOf(source));
  copy->data[0] = 99;
  EXPECT_EQ(source->data[0], 1);
  kxFreeMemoryBlock(source);
  kxFreeMemoryBlock(copy);
  EXPECT_EQ(kxCopyMemoryBlock(nullptr), nullptr);
}

TEST(kxMemoryBlockTest, CrunchLayoutAndRoundTrip) {
  const std::vector<uint8_t> payload = TextLikeBytes(1000);
  kxMemoryBlock* block = BlockOf(payload);
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(block);
  ASSERT_NE(crunched, nullptr);
  ASSERT_GT(crunched->size, 4u);
  EXPECT_EQ(crunched->data[0], 0xE8);
  EXPECT_EQ(crunched->data[1], 0x03);
  EXPECT_EQ(crunched->data[2], 0x00);
  EXPECT_EQ(crunched->data[3], 0x00);
  // Behind the prefix is exactly one zlib stream of the payload.
  std::vector<uint8_t> plain(payload.size());
  uLongf plainLength = plain.size();
  ASSERT_EQ(uncompress(plain.data(), &plainLength, crunched->data + 4, crunched->size - 4), Z_OK);
  EXPECT_EQ(plainLength, payload.size());
  EXPECT_EQ(plain, payload);
  EXPECT_EQ(BytesOf(block), payload) << "crunching changed its source";

  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(crunched);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(BytesOf(expanded), payload);
  kxFreeMemoryBlock(block);
  kxFreeMemoryBlock(crunched);
  kxFreeMemoryBlock(expanded);

  for (size_t n : {1u, 2u, 15u, 16u, 17u, 4096u, 70000u}) {
    const std::vector<uint8_t> bytes = RandomBytes(n, uint32_t(n));
    kxMemoryBlock* b = BlockOf(bytes);
    kxMemoryBlock* c = kxCrunchMemoryBlock(b);
    ASSERT_NE(c, nullptr) << n;
    kxMemoryBlock* d = kxDecrunchMemoryBlock(c);
    ASSERT_NE(d, nullptr) << n;
    EXPECT_EQ(BytesOf(d), bytes) << n;
    kxFreeMemoryBlock(b);
    kxFreeMemoryBlock(c);
    kxFreeMemoryBlock(d);
  }
}

TEST(kxMemoryBlockTest, EmptyBlockCrunchesToZeroPrefixAndBack) {
  kxMemoryBlock* empty = kxAllocMemoryBlock(0);
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(empty);
  ASSERT_NE(crunched, nullptr);
  ASSERT_GT(crunched->size, 4u);
  EXPECT_EQ(crunched->data[0] | crunched->data[1] | crunched->data[2] | crunched->data[3], 0);
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(crunched);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(expanded->size, 0u);
  kxFreeMemoryBlock(empty);
  kxFreeMemoryBlock(crunched);
  kxFreeMemoryBlock(expanded);
}

TEST(kxMemoryBlockTest, HighlyCompressibleDataStillExpands) {
  // Four MiB of zeros compress about a thousand to one, close to deflate's
  // limit; the guard against lying size prefixes must not refuse it.
  const std::vector<uint8_t> zeros(4u << 20, 0);
  kxMemoryBlock* block = BlockOf(zeros);
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(block);
  ASSERT_NE(crunched, nullptr);
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(crunched);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(expanded->size, zeros.size());
  EXPECT_EQ(BytesOf(expanded), zeros);
  kxFreeMemoryBlock(block);
  kxFreeMemoryBlock(crunched);
  kxFreeMemoryBlock(expanded);
}

TEST(kxMemoryBlockTest, DecrunchRejectsHostileBlocks) {
  EXPECT_EQ(kxDecrunchMemoryBlock(nullptr), nullptr);
  // Shorter than the prefix: exact-size heap buffers, so any over-read is
  // caught by the address sanitizer.
  for (uint64_t n = 0; n < 4; ++n) {
    kxMemoryBlock block = {static_cast<uint8_t*>(malloc(n ? n : 1)), n};
    memset(block.data, 0, n ? n : 1);
    EXPECT_EQ(kxDecrunchMemoryBlock(&block), nullptr) << n;
    free(block.data);
  }

  const std::vector<uint8_t> payload = TextLikeBytes(5000);
  // Stored size smaller than the real one: the stream does not fit.
  std::vector<uint8_t> small = HandCrunched(payload, 4999);
  kxMemoryBlock smallBlock = {small.data(), small.size()};
  EXPECT_EQ(kxDecrunchMemoryBlock(&smallBlock), nullptr);

  // Stored size larger than the real one: the real size is reported.
  std::vector<uint8_t> large = HandCrunched(payload, 6000);
  kxMemoryBlock largeBlock = {large.data(), large.size()};
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(&largeBlock);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(BytesOf(expanded), payload);
  kxFreeMemoryBlock(expanded);

  // A short stream claiming 4 GiB, and one claiming just past what its
  // length could give: refused before anything is allocated or inflated.
  std::vector<uint8_t> tiny = HandCrunched({1, 2, 3}, 0xFFFFFFFFu);
  kxMemoryBlock tinyBlock = {tiny.data(), tiny.size()};
  EXPECT_EQ(kxDecrunchMemoryBlock(&tinyBlock), nullptr);
  std::vector<uint8_t> lie = HandCrunched({1, 2, 3}, uint32_t((tiny.size() - 4) * 2000));
  kxMemoryBlock lieBlock = {lie.data(), lie.size()};
  EXPECT_EQ(kxDecrunchMemoryBlock(&lieBlock), nullptr);

  // Damaged stream bytes fail the zlib checks.
  std::vector<uint8_t> damaged = HandCrunched(payload, 5000);
  damaged[damaged.size() / 2] ^= 0x55;
  damaged[damaged.size() - 1] ^= 0x01;
  kxMemoryBlock damagedBlock = {damaged.data(), damaged.size()};
  EXPECT_EQ(kxDecrunchMemoryBlock(&damagedBlock), nullptr);

  // A stream cut short.
  std::vector<uint8_t> cut = HandCrunched(payload, 5000);
  cut.resize(cut.size() - 10);
  kxMemoryBlock cutBlock = {cut.data(), cut.size()};
  EXPECT_EQ(kxDecrunchMemoryBlock(&cutBlock), nullptr);
}

TEST(kxMemoryBlockTest, CrunchRefusesBlocksOfFourGiB) {
  // The block lies about its size; refusing must happen before any byte is
  // read (the sanitizer build would catch a read past the 16 real bytes).
  uint8_t bytes[16] = {};
  kxMemoryBlock huge = {bytes, 1ull << 32};
  EXPECT_EQ(kxCrunchMemoryBlock(&huge), nullptr);
  EXPECT_EQ(kxCrunchMemoryBlock(nullptr), nullptr);
}

TEST(kxMemoryBlockTest, FilesRoundTripAndFailures) {
  TempDir dir;
  const std::vector<uint8_t> payload = RandomBytes(100000, 11);
  kxMemoryBlock* block = BlockOf(payload);
  const std::string name = dir.File("block.bin");
  ASSERT_TRUE(kxWriteMemoryBlock(name.c_str(), block));
  EXPECT_EQ(fs::file_size(name), payload.size());
  kxMemoryBlock* read = kxReadMemoryBlock(name.c_str());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(BytesOf(read), payload);
  kxFreeMemoryBlock(read);

  // An existing file is replaced, not appended to.
  kxMemoryBlock* shorter = BlockOf({9, 8, 7});
  ASSERT_TRUE(kxWriteMemoryBlock(name.c_str(), shorter));
  read = kxReadMemoryBlock(name.c_str());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(BytesOf(read), (std::vector<uint8_t>{9, 8, 7}));
  kxFreeMemoryBlock(read);

  const std::string emptyName = dir.File("empty.bin");
  std::ofstream(emptyName).close();
  read = kxReadMemoryBlock(emptyName.c_str());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->size, 0u);
  kxFreeMemoryBlock(read);

  EXPECT_EQ(kxReadMemoryBlock(dir.File("missing.bin").c_str()), nullptr);
  EXPECT_EQ(kxReadMemoryBlock(nullptr), nullptr);
  EXPECT_EQ(kxReadMemoryBlock(dir.path.c_str()), nullptr) << "a directory is not a file";
  EXPECT_FALSE(kxWriteMemoryBlock(dir.File("no/such/dir.bin").c_str(), block));
  EXPECT_FALSE(kxWriteMemoryBlock(name.c_str(), nullptr));
  kxFreeMemoryBlock(block);
  kxFreeMemoryBlock(shorter);
}
