#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/kxResource.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const kxMemoryBlock* block) {
  return block ? Bytes(block->data, block->data + block->size) : Bytes();
}

// Appends a block holding `bytes` under `name`; the test keeps no reference.
uint64_t AppendBytes(kxResource& pack, const char* name, const Bytes& bytes) {
  kxMemoryBlock block = {const_cast<uint8_t*>(bytes.data()), bytes.size()};
  return pack.Append(&block, name);
}

Bytes WriteImage(const kxResource& pack) {
  kxMemoryBlock* image = pack.WriteToMemoryBlock();
  EXPECT_NE(image, nullptr);
  Bytes bytes = BytesOf(image);
  kxFreeMemoryBlock(image);
  return bytes;
}

// Reads from an exact-size heap copy, so the sanitizer build catches any read
// past the image; also checks that the caller's bytes are left unchanged.
bool ReadImage(kxResource& pack, const Bytes& image) {
  kxMemoryBlock* block = kxAllocMemoryBlock(image.size());
  if (!image.empty()) memcpy(block->data, image.data(), image.size());
  const bool ok = pack.ReadFromMemoryBlock(block);
  EXPECT_EQ(BytesOf(block), image) << "the read changed the caller's block";
  kxFreeMemoryBlock(block);
  return ok;
}

uint32_t Load32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

void Store32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The pack format put together by hand from a raw table and data area, with
// a correct CRC, so that hostile tables reach the table checks.
Bytes HandImage(const Bytes& table, const Bytes& data) {
  uLongf bound = compressBound(table.size());
  Bytes crunched(bound + 4);
  EXPECT_EQ(compress2(crunched.data() + 4, &bound, table.data(), table.size(), 9), Z_OK);
  crunched.resize(bound + 4);
  Store32(crunched.data(), uint32_t(table.size()));
  Bytes image = {'k', 'x', 0, 0, 0, 0, 0, 0, 0, 0};
  Store32(image.data() + 6, uint32_t(crunched.size()));
  image.insert(image.end(), crunched.begin(), crunched.end());
  image.insert(image.end(), data.begin(), data.end());
  Store32(image.data() + 2, uint32_t(crc32(0, image.data(), image.size())));
  return image;
}

Bytes Record(const std::string& name, uint32_t size) {
  Bytes record(36, 0);
  memcpy(record.data(), name.data(), std::min<size_t>(name.size(), 32));
  Store32(record.data() + 32, size);
  return record;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Three entries that every "previous entries kept" check compares against.
void FillSample(kxResource& pack) {
  pack.Clear();
  AppendBytes(pack, "one", {1});
  AppendBytes(pack, "two", {2, 2});
  AppendBytes(pack, "three", {3, 3, 3});
}

void ExpectSample(const kxResource& pack) {
  ASSERT_EQ(pack.Length(), 3u);
  EXPECT_STREQ(pack.GetName(0), "one");
  EXPECT_STREQ(pack.GetName(2), "three");
  EXPECT_EQ(BytesOf(pack.Get("two")), (Bytes{2, 2}));
}

}  // namespace

TEST(kxResourceTest, OneEntryImageLayout) {
  kxResource pack;
  EXPECT_EQ(AppendBytes(pack, "a", {1, 2, 3}), 0u);
  const Bytes image = WriteImage(pack);
  ASSERT_GT(image.size(), 13u);
  EXPECT_EQ(image[0], 'k');
  EXPECT_EQ(image[1], 'x');
  const uint32_t tableLength = Load32(&image[6]);
  EXPECT_EQ(image.size(), 10u + tableLength + 3u);
  EXPECT_EQ(Bytes(image.end() - 3, image.end()), (Bytes{1, 2, 3}));

  Bytes zeroed = image;
  Store32(&zeroed[2], 0);
  EXPECT_EQ(Load32(&image[2]), uint32_t(crc32(0, zeroed.data(), zeroed.size())));

  kxMemoryBlock crunchedTable = {const_cast<uint8_t*>(&image[10]), tableLength};
  kxMemoryBlock* table = kxDecrunchMemoryBlock(&crunchedTable);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(BytesOf(table), Record("a", 3));
  kxFreeMemoryBlock(table);
}

TEST(kxResourceTest, WriteReadRoundTripKeepsNamesBytesAndOrder) {
  kxResource pack;
  std::mt19937 gen(5);
  std::vector<Bytes> contents;
  std::vector<std::string> names;
  for (int i = 0; i < 12; ++i) {
    Bytes bytes(i == 4 ? 0 : size_t(gen() % 3000));
    for (auto& b : bytes) b = uint8_t(gen());
    contents.push_back(bytes);
    names.push_back(i == 7 ? std::string(31, 'n') : "entry" + std::to_string(i));
    EXPECT_EQ(AppendBytes(pack, names.back().c_str(), bytes), uint64_t(i));
  }
  const Bytes image = WriteImage(pack);
  kxResource other;
  ASSERT_TRUE(ReadImage(other, image));
  ASSERT_EQ(other.Length(), contents.size());
  for (size_t i = 0; i < contents.size(); ++i) {
    EXPECT_STREQ(other.GetName(i), names[i].c_str());
    EXPECT_EQ(BytesOf(other.Get(i)), contents[i]) << i;
    EXPECT_EQ(other.Get(i), other.GetMemoryBlock(i));
  }
  ASSERT_NE(other.Get("entry4"), nullptr);
  EXPECT_EQ(other.Get("entry4")->size, 0u);
  EXPECT_EQ(WriteImage(other), image);
}

TEST(kxResourceTest, EveryChangedByteIsRejectedAndKeepsEntries) {
  kxResource source;
  AppendBytes(source, "a", {1, 2, 3});
  AppendBytes(source, "bb", {4, 5});
  const Bytes image = WriteImage(source);
  kxResource pack;
  for (size_t i = 0; i < image.size(); ++i) {
    for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
      Bytes changed = image;
      changed[i] ^= flip;
      FillSample(pack);
      EXPECT_FALSE(ReadImage(pack, changed)) << "byte " << i;
      ExpectSample(pack);
    }
  }
  ASSERT_TRUE(ReadImage(pack, image));
  EXPECT_EQ(pack.Length(), 2u);
}

TEST(kxResourceTest, TruncatedAndExtendedImages) {
  kxResource source;
  AppendBytes(source, "a", {1, 2, 3});
  const Bytes image = WriteImage(source);
  kxResource pack;
  for (size_t n = 0; n < image.size(); ++n) {
    FillSample(pack);
    EXPECT_FALSE(ReadImage(pack, Bytes(image.begin(), image.begin() + n))) << n;
    ExpectSample(pack);
  }
  Bytes longer = image;
  longer.push_back(0);
  EXPECT_FALSE(ReadImage(pack, longer));
  EXPECT_FALSE(pack.ReadFromMemoryBlock(nullptr));
  ExpectSample(pack);
}

TEST(kxResourceTest, TablesThatDoNotFitTheImageAreRejectedBeforeClearing) {
  kxResource pack;
  // The data area holds 3 bytes; the table claims 4.
  FillSample(pack);
  EXPECT_FALSE(ReadImage(pack, HandImage(Concat({Record("a", 1), Record("b", 3)}), {1, 2, 3})));
  ExpectSample(pack);

  // Sizes whose 32-bit sum wraps round to the 3 bytes that are present.
  FillSample(pack);
  EXPECT_FALSE(
      ReadImage(pack, HandImage(Concat({Record("a", 0xFFFFFFFFu), Record("b", 4)}), {1, 2, 3})));
  ExpectSample(pack);

  // A table length field pointing past the image.
  Bytes image = HandImage(Record("a", 3), {1, 2, 3});
  Store32(&image[6], uint32_t(image.size()));
  Store32(&image[2], 0);
  Store32(&image[2], uint32_t(crc32(0, image.data(), image.size())));
  FillSample(pack);
  EXPECT_FALSE(ReadImage(pack, image));
  ExpectSample(pack);

  // A table that is not a crunched block.
  Bytes garbage = {'k', 'x', 0, 0, 0, 0, 6, 0, 0, 0, 36, 0, 0, 0, 0x78, 0x9C, 1, 2, 3};
  Store32(&garbage[2], uint32_t(crc32(0, garbage.data(), garbage.size())));
  EXPECT_FALSE(ReadImage(pack, garbage));
  ExpectSample(pack);
}

TEST(kxResourceTest, HandMadeTablesReadAsTheFormatSays) {
  kxResource pack;
  // A name filling all 32 bytes of its field, with no NUL.
  const std::string longName(32, 'x');
  ASSERT_TRUE(ReadImage(pack, HandImage(Concat({Record(longName, 2), Record("y", 1)}), {7, 8, 9})));
  ASSERT_EQ(pack.Length(), 2u);
  EXPECT_EQ(std::string(pack.GetName(0)), longName);
  EXPECT_EQ(BytesOf(pack.Get(longName.c_str())), (Bytes{7, 8}));
  EXPECT_EQ(BytesOf(pack.Get("y")), (Bytes{9}));

  // A remainder of the table shorter than one record is ignored.
  Bytes table = Record("z", 2);
  table.resize(36 + 20, 0xAB);
  ASSERT_TRUE(ReadImage(pack, HandImage(table, {5, 6})));
  ASSERT_EQ(pack.Length(), 1u);
  EXPECT_STREQ(pack.GetName(0), "z");
}

TEST(kxResourceTest, WriteRefusesWhatCannotReadBack) {
  kxResource pack;
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);
  AppendBytes(pack, "empty", {});
  AppendBytes(pack, "also empty", {});
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);

  kxResource named;
  AppendBytes(named, std::string(31, 'a').c_str(), {1});
  kxMemoryBlock* fits = named.WriteToMemoryBlock();
  EXPECT_NE(fits, nullptr);
  kxFreeMemoryBlock(fits);
  AppendBytes(named, std::string(32, 'b').c_str(), {2});
  EXPECT_EQ(named.WriteToMemoryBlock(), nullptr);
  const fs::path file = fs::temp_directory_path() / "kxResourceTest-refused.bin";
  fs::remove(file);
  EXPECT_FALSE(named.WriteToFile(file.c_str()));
  EXPECT_FALSE(fs::exists(file));
}

TEST(kxResourceTest, WriteRefusesEntriesAndImagesOfFourGiB) {
  // Get hands out the entry's own struct; claiming a huge size there stands
  // in for a real 4 GiB entry. The writer must refuse before reading a byte
  // (the sanitizer build would catch a copy past the real 4 bytes).
  kxResource pack;
  AppendBytes(pack, "a", {1, 2, 3, 4});
  AppendBytes(pack, "b", {5, 6, 7, 8});
  kxMemoryBlock* a = pack.Get("a");
  kxMemoryBlock* b = pack.Get("b");
  a->size = 1ull << 32;
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);
  // Each entry fits 32 bits, but together they pass the 32-bit image length.
  a->size = 0x80000000u;
  b->size = 0x80000000u;
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);
  a->size = 4;
  b->size = 4;
  kxMemoryBlock* image = pack.WriteToMemoryBlock();
  EXPECT_NE(image, nullptr);
  kxFreeMemoryBlock(image);
}

TEST(kxResourceTest, CollectionOperations) {
  kxResource pack;
  EXPECT_EQ(pack.Length(), 0u);
  EXPECT_EQ(pack.Get("x"), nullptr);
  EXPECT_EQ(pack.Get(uint64_t(0)), nullptr);
  EXPECT_EQ(pack.GetName(0), nullptr);
  EXPECT_FALSE(pack.Remove("x"));

  Bytes mine = {1, 2};
  kxMemoryBlock block = {mine.data(), mine.size()};
  pack.Append(&block, "dup");
  mine[0] = 42;  // the pack holds its own copy
  EXPECT_EQ(BytesOf(pack.Get("dup")), (Bytes{1, 2}));
  AppendBytes(pack, "mid", {5});
  AppendBytes(pack, "dup", {3});
  EXPECT_TRUE(pack.ResourceExists("mid"));
  EXPECT_FALSE(pack.ResourceExists("MID"));
  EXPECT_EQ(pack.Get("dup"), pack.Get(uint64_t(0)));

  // Change replaces every entry of that name, and nothing else.
  pack.Change(&block, "dup");
  EXPECT_EQ(BytesOf(pack.Get(uint64_t(0))), (Bytes{42, 2}));
  EXPECT_EQ(BytesOf(pack.Get(uint64_t(2))), (Bytes{42, 2}));
  EXPECT_EQ(BytesOf(pack.Get("mid")), (Bytes{5}));
  pack.Change(&block, "nobody");
  EXPECT_EQ(pack.Length(), 3u);

  // Remove drops only the first match; the ones behind move down in order.
  EXPECT_TRUE(pack.Remove("dup"));
  ASSERT_EQ(pack.Length(), 2u);
  EXPECT_STREQ(pack.GetName(0), "mid");
  EXPECT_STREQ(pack.GetName(1), "dup");
  EXPECT_TRUE(pack.ResourceExists("dup"));

  kxResource three;
  AppendBytes(three, "a", {1});
  AppendBytes(three, "b", {2});
  AppendBytes(three, "c", {3});
  EXPECT_TRUE(three.Remove("b"));
  EXPECT_STREQ(three.GetName(1), "c");
  EXPECT_EQ(BytesOf(three.Get(uint64_t(1))), (Bytes{3}));
  EXPECT_EQ(three.Get(uint64_t(2)), nullptr);

  three.Clear();
  EXPECT_EQ(three.Length(), 0u);
  three.Clear();
  EXPECT_EQ(AppendBytes(three, "again", {9}), 0u);
  EXPECT_TRUE(three.Remove("again"));
  EXPECT_EQ(three.Length(), 0u);
}

TEST(kxResourceTest, ReadingFromOneOfItsOwnEntries) {
  kxResource inner;
  AppendBytes(inner, "leaf", {1, 2, 3});
  const Bytes innerImage = WriteImage(inner);
  kxResource outer;
  AppendBytes(outer, "pack", innerImage);
  // The image belongs to the collection that is being replaced.
  ASSERT_TRUE(outer.ReadFromMemoryBlock(outer.Get("pack")));
  ASSERT_EQ(outer.Length(), 1u);
  EXPECT_EQ(BytesOf(outer.Get("leaf")), (Bytes{1, 2, 3}));
}

TEST(kxResourceTest, FilesRoundTripAndFailures) {
  const fs::path file =
      fs::temp_directory_path() / ("kxResourceTest-" + std::to_string(std::random_device{}()));
  kxResource pack;
  AppendBytes(pack, "a", {1, 2, 3});
  AppendBytes(pack, "b", {});
  AppendBytes(pack, "c", {4});
  ASSERT_TRUE(pack.WriteToFile(file.c_str()));
  kxResource read;
  ASSERT_TRUE(read.ReadFromFile(file.c_str()));
  ASSERT_EQ(read.Length(), 3u);
  EXPECT_EQ(BytesOf(read.Get("c")), (Bytes{4}));
  EXPECT_EQ(read.Get("b")->size, 0u);

  fs::remove(file);
  EXPECT_FALSE(read.ReadFromFile(file.c_str()));
  EXPECT_EQ(read.Length(), 3u);
  EXPECT_FALSE(pack.WriteToFile((file / "not-a-dir" / "x.bin").c_str()));
}
