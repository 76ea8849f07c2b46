#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/kxResource.h"
#include "kxPackTestKit.h"
#include "support/kxAllocFailure.h"

namespace {

namespace fs = std::filesystem;

// Every rejected read must leave the previous entries in place.
void ExpectRejectedKeepingEntries(const Bytes& image) {
  kxResource pack;
  AppendBytes(pack, "one", {1});
  AppendBytes(pack, "two", {2, 2});
  EXPECT_FALSE(ReadImage(pack, image));
  ASSERT_EQ(pack.Length(), 2u);
  EXPECT_EQ(BytesOf(pack.Get("two")), (Bytes{2, 2}));
}

}  // namespace

TEST(kxResourceTest, OneEntryImageLayout) {
  kxResource pack;
  AppendBytes(pack, "a", {1, 2, 3});
  const Bytes image = WriteImage(pack);
  ASSERT_GT(image.size(), 13u);
  const uint32_t tableLength = Load32(&image[6]);
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 2), (Bytes{'k', 'x'}));
  EXPECT_EQ(image.size(), 10u + tableLength + 3u);
  EXPECT_EQ(Bytes(image.end() - 3, image.end()), (Bytes{1, 2, 3}));
  Bytes resealed = image;
  Seal(resealed);
  EXPECT_EQ(resealed, image) << "CRC field";
  kxMemoryBlock crunchedTable = {const_cast<uint8_t*>(&image[10]), tableLength};
  kxMemoryBlock* table = kxDecrunchMemoryBlock(&crunchedTable);
  EXPECT_EQ(BytesOf(table), Records({{"a", 3}}));
  kxFreeMemoryBlock(table);
}

TEST(kxResourceTest, WriteReadRoundTripKeepsNamesBytesAndOrder) {
  kxResource pack;
  std::mt19937 gen(5);
  std::vector<Bytes> contents(8);
  for (size_t i = 0; i < contents.size(); ++i) {
    contents[i].resize(i == 4 ? 0 : gen() % 3000);
    for (auto& b : contents[i]) b = uint8_t(gen());
    AppendBytes(pack, std::string(i == 7 ? 31 : i + 1, char('a' + i)), contents[i]);
  }
  const Bytes image = WriteImage(pack);
  kxResource other;
  ASSERT_TRUE(ReadImage(other, image));
  ASSERT_EQ(other.Length(), contents.size());
  for (size_t i = 0; i < contents.size(); ++i) {
    EXPECT_STREQ(other.GetName(i), pack.GetName(i));
    EXPECT_EQ(BytesOf(other.Get(i)), contents[i]) << i;
  }
  EXPECT_EQ(WriteImage(other), image);
}

TEST(kxResourceTest, DamagedImagesAreRejectedAndKeepEntries) {
  kxResource source;
  AppendBytes(source, "a", {1, 2, 3});
  AppendBytes(source, "bb", {4, 5});
  const Bytes image = WriteImage(source);
  std::vector<Bytes> damaged = {image};
  damaged[0].push_back(0);
  for (size_t i = 0; i < image.size(); ++i) {
    damaged.emplace_back(image.begin(), image.begin() + i);
    for (uint8_t flip : {0x01, 0x80, 0xFF}) {
      damaged.push_back(image);
      damaged.back()[i] ^= flip;
    }
  }
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectRejectedKeepingEntries(damaged[i]);
  }
  kxResource pack;
  EXPECT_FALSE(pack.ReadFromMemoryBlock(nullptr));
}

TEST(kxResourceTest, HandMadeTablesAreCheckedBeforeClearingAndReadAsStored) {
  Bytes pastEnd = HandImage(Records({{"a", 3}}), {1, 2, 3});
  Store32(&pastEnd[6], uint32_t(pastEnd.size()));
  Seal(pastEnd);
  Bytes notCrunched = {'k', 'x', 0, 0, 0, 0, 6, 0, 0, 0, 36, 0, 0, 0, 0x78, 0x9C, 1, 2, 3};
  Seal(notCrunched);
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"sizes claim more than the data", HandImage(Records({{"a", 1}, {"b", 3}}), {1, 2, 3})},
      {"sizes wrap in 32 bits", HandImage(Records({{"a", 0xFFFFFFFFu}, {"b", 4}}), {1, 2, 3})},
      {"table length past the image", pastEnd},
      {"table is not a crunched block", notCrunched}};
  for (const auto& [what, image] : cases) {
    SCOPED_TRACE(what);
    ExpectRejectedKeepingEntries(image);
  }
  kxResource pack;
  // A name filling all 32 bytes of its field, with no NUL.
  const std::string longName(32, 'x');
  ASSERT_TRUE(ReadImage(pack, HandImage(Records({{longName, 2}, {"y", 1}}), {7, 8, 9})));
  ASSERT_EQ(pack.Length(), 2u);
  EXPECT_EQ(std::string(pack.GetName(0)), longName);
  EXPECT_EQ(BytesOf(pack.Get(longName.c_str())), (Bytes{7, 8}));
  EXPECT_EQ(BytesOf(pack.Get("y")), (Bytes{9}));
  // A remainder of the table shorter than one record is ignored.
  Bytes table = Records({{"z", 2}});
  table.resize(36 + 20, 0xAB);
  ASSERT_TRUE(ReadImage(pack, HandImage(table, {5, 6})));
  ASSERT_EQ(pack.Length(), 1u);
  EXPECT_STREQ(pack.GetName(0), "z");
}

TEST(kxResourceTest, FilesRoundTripAndRefusedWritesCreateNothing) {
  const fs::path file =
      fs::temp_directory_path() / ("kxResourceTest-" + std::to_string(std::random_device{}()));
  kxResource pack, read;
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);
  AppendBytes(pack, "empty", {});
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr) << "nothing to store";
  AppendBytes(pack, std::string(31, 'a'), {1});
  ASSERT_TRUE(pack.WriteToFile(file.c_str()));
  ASSERT_TRUE(read.ReadFromFile(file.c_str()));
  fs::remove(file);
  EXPECT_FALSE(read.ReadFromFile(file.c_str()));
  ASSERT_EQ(read.Length(), 2u);
  EXPECT_EQ(read.Get("empty")->size, 0u);
  EXPECT_EQ(BytesOf(read.Get(uint64_t(1))), Bytes{1});
  AppendBytes(pack, std::string(32, 'b'), {2});
  EXPECT_EQ(pack.WriteToMemoryBlock(), nullptr);
  EXPECT_FALSE(pack.WriteToFile(file.c_str()));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(read.WriteToFile((file / "not-a-dir" / "x.bin").c_str()));

  // Get hands out the entry's own struct; a claimed huge size stands in for a
  // real 4 GiB entry, refused before a byte is copied.
  kxResource sized;
  AppendBytes(sized, "a", {1, 2, 3, 4});
  AppendBytes(sized, "b", {5, 6, 7, 8});
  kxMemoryBlock* a = sized.Get("a");
  kxMemoryBlock* b = sized.Get("b");
  a->size = 1ull << 32;
  EXPECT_EQ(sized.WriteToMemoryBlock(), nullptr);
  a->size = b->size = 0x80000000u;  // each fits 32 bits, the image does not
  EXPECT_EQ(sized.WriteToMemoryBlock(), nullptr);
  a->size = b->size = 4;
  WriteImage(sized);
}

TEST(kxResourceTest, CollectionCopiesReplacesRemovesAndRereadsItsOwnEntry) {
  kxResource pack;
  Bytes mine = {1, 2};
  kxMemoryBlock block = {mine.data(), mine.size()};
  pack.Append(&block, "dup");
  mine[0] = 42;
  EXPECT_EQ(BytesOf(pack.Get("dup")), (Bytes{1, 2})) << "the pack must hold its own copy";
  AppendBytes(pack, "mid", {5});
  AppendBytes(pack, "dup", {3});
  pack.Change(&block, "dup");
  pack.Change(&block, "nobody");
  EXPECT_EQ(BytesOf(pack.Get(uint64_t(0))), (Bytes{42, 2}));
  EXPECT_EQ(BytesOf(pack.Get(uint64_t(2))), (Bytes{42, 2}));
  EXPECT_TRUE(pack.Remove("dup"));
  EXPECT_FALSE(pack.Remove("x"));
  ASSERT_EQ(pack.Length(), 2u);
  EXPECT_STREQ(pack.GetName(0), "mid");
  EXPECT_EQ(BytesOf(pack.Get(uint64_t(0))), (Bytes{5}));
  EXPECT_STREQ(pack.GetName(1), "dup");
  EXPECT_EQ(pack.Get(uint64_t(2)), nullptr);
  // Reading an image that belongs to the collection being replaced.
  kxResource inner;
  AppendBytes(inner, "leaf", {1, 2, 3});
  AppendBytes(pack, "pack", WriteImage(inner));
  ASSERT_TRUE(pack.ReadFromMemoryBlock(pack.Get("pack")));
  ASSERT_EQ(pack.Length(), 1u);
  EXPECT_EQ(BytesOf(pack.Get("leaf")), (Bytes{1, 2, 3}));
}

TEST(kxResourceTest, RunningOutOfMemoryKeepsTheCollectionAsItWas) {
  kxResource source;
  AppendBytes(source, "alpha", Bytes(300, 1));
  AppendBytes(source, "beta", Bytes(200, 2));
  const Bytes image = WriteImage(source);
  kxMemoryBlock* block = kxAllocMemoryBlock(image.size());
  memcpy(block->data, image.data(), image.size());
  const Bytes extra = {7, 7, 7};
  kxMemoryBlock extraBlock = {const_cast<uint8_t*>(extra.data()), extra.size()};

  kxResource pack;
  AppendBytes(pack, "kept", {1});
  auto names = [&] {
    std::vector<std::string> out;
    for (uint64_t i = 0; i < pack.Length(); ++i) out.push_back(pack.GetName(i));
    return out;
  };
  const std::vector<std::string> kept = {"kept"}, both = {"alpha", "beta"};
  kxTest::ForEachAllocationFailure([&] { return pack.ReadFromMemoryBlock(block); },
                                   [&](bool read, bool refused) {
                                     EXPECT_TRUE(read || refused);
                                     EXPECT_EQ(names(), read ? both : kept);
                                     if (read) pack.Clear(), AppendBytes(pack, "kept", {1});
                                   });
  kxTest::ForEachAllocationFailure([&] { return pack.Append(&extraBlock, "extra"); },
                                   [&](uint64_t index, bool refused) {
                                     EXPECT_EQ(index, refused ? UINT64_MAX : 1u);
                                     EXPECT_EQ(pack.Length(), refused ? 1u : 2u);
                                     if (!refused) pack.Remove("extra");
                                   });
  kxTest::ForEachAllocationFailure([&] { return pack.WriteToMemoryBlock(); },
                                   [&](kxMemoryBlock* written, bool refused) {
                                     EXPECT_TRUE(written || refused);
                                     kxResource again;
                                     EXPECT_TRUE(!written || again.ReadFromMemoryBlock(written));
                                     EXPECT_EQ(again.Length(), written ? 1u : 0u);
                                     kxFreeMemoryBlock(written);
                                   });
  EXPECT_EQ(names(), kept);
  kxFreeMemoryBlock(block);
}
