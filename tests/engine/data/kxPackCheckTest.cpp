#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/kxPackCheck.h"
#include "data/kxResource.h"
#include "kxPackTestKit.h"

namespace {

struct Checked {
  TPackFault fault;
  kxPackCheck_s check;
  std::string text;
};

Checked Check(const Bytes& image) {
  kxMemoryBlock* block = kxAllocMemoryBlock(image.size());
  if (!image.empty()) memcpy(block->data, image.data(), image.size());
  Checked c;
  c.fault = kxCheckPack(block, &c.check);
  char text[200];
  kxDescribePackCheck(&c.check, text, sizeof text);
  c.text = text;
  kxFreeMemoryBlock(block);
  return c;
}

Bytes ThreeEntries() {
  kxResource pack;
  AppendBytes(pack, "alpha", Bytes(40, 1));
  AppendBytes(pack, "beta", Bytes(30, 2));
  AppendBytes(pack, "gamma", Bytes(20, 3));
  return WriteImage(pack);
}

}  // namespace

TEST(kxPackCheckTest, NamesEachFaultAndAgreesWithTheReader) {
  const Bytes good = ThreeEntries();
  const uint32_t tableLength = Load32(&good[6]);
  Bytes badMagic = good, flipped = good, lyingTable = good, stray = good, cutTable = good;
  badMagic[1] = 'y';
  flipped[good.size() - 5] ^= 0x40;
  Store32(&lyingTable[6], uint32_t(good.size()));
  Seal(lyingTable);
  stray.push_back(0);
  Seal(stray);
  cutTable.resize(10 + tableLength / 2);
  struct Case {
    const char* what;
    Bytes image;
    TPackFault fault;
    const char* words;
  };
  const Case cases[] = {
      {"sound", good, pfNone, "ok"},
      {"empty", {}, pfTooShort, "truncated: 0 bytes"},
      {"header cut", Bytes(good.begin(), good.begin() + 9), pfTooShort, "truncated: 9 bytes"},
      {"magic", badMagic, pfBadMagic, "not a pack"},
      {"table cut", cutTable, pfTableCut, "truncated: the entry table"},
      {"entries cut", Bytes(good.begin(), good.end() - 7), pfEntriesCut,
       "truncated: the table lists 90 bytes of entries, 83 are present"},
      {"lying table length", lyingTable, pfTableCut, "damaged: the entry table"},
      {"flipped entry byte", flipped, pfChecksum, "CRC mismatch (stored"},
      {"bytes after the last entry", stray, pfStrayBytes, "1 stray bytes"},
      {"partial record", HandImage(Bytes(37, 0), {}), pfPartialRecord, "not a multiple of 36"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Checked result = Check(c.image);
    EXPECT_EQ(result.fault, c.fault);
    EXPECT_EQ(result.check.fault, c.fault);
    EXPECT_NE(result.text.find(c.words), std::string::npos) << result.text;
    kxResource pack;
    EXPECT_EQ(ReadImage(pack, c.image), !kxPackFaultIsFatal(c.fault));
  }
  // A table whose bytes are not a crunched block, under a matching CRC.
  Bytes image = {'k', 'x', 0, 0, 0, 0, 6, 0, 0, 0, 9, 9, 9, 9, 9, 9};
  Seal(image);
  EXPECT_EQ(Check(image).fault, pfBadTable);
  image[12] ^= 1;  // the same under a CRC that no longer matches
  EXPECT_EQ(Check(image).fault, pfChecksum);
  EXPECT_EQ(kxCheckPack(nullptr, nullptr), pfTooShort);
}

TEST(kxPackCheckTest, ReportsTheLayoutItFound) {
  const Bytes good = ThreeEntries();
  const Checked sound = Check(good);
  EXPECT_TRUE(sound.check.checksumMatches);
  EXPECT_EQ(sound.check.storedCRC, sound.check.computedCRC);
  EXPECT_EQ(sound.check.imageSize, good.size());
  EXPECT_EQ(sound.check.tableLength, Load32(&good[6]));
  EXPECT_EQ(sound.check.tableSize, 3u * 36);
  EXPECT_EQ(sound.check.entryCount, 3u);
  EXPECT_EQ(sound.check.listedBytes, 90u);
  EXPECT_EQ(sound.check.presentBytes, 90u);
  // A description never runs past the room it is given.
  char small[12];
  memset(small, '#', sizeof small);
  const Checked cut = Check(Bytes(good.begin(), good.end() - 1));
  kxDescribePackCheck(&cut.check, small, 8);
  EXPECT_EQ(std::string(small), "truncat");
  EXPECT_EQ(small[8], '#');
}

TEST(kxPackCheckTest, SalvageReadsPastAFailedChecksumButNotACutImage) {
  const Bytes good = ThreeEntries();
  Bytes flipped = good;
  flipped[good.size() - 25] ^= 0xFF;  // inside "beta"
  kxResource pack;
  EXPECT_FALSE(ReadImage(pack, flipped));
  kxMemoryBlock* block = kxAllocMemoryBlock(flipped.size());
  memcpy(block->data, flipped.data(), flipped.size());
  ASSERT_TRUE(pack.SalvageFromMemoryBlock(block));
  kxFreeMemoryBlock(block);
  ASSERT_EQ(pack.Length(), 3u);
  Bytes beta(30, 2);
  beta[25] ^= 0xFF;
  EXPECT_EQ(BytesOf(pack.Get("beta")), beta);
  EXPECT_EQ(BytesOf(pack.Get("gamma")), Bytes(20, 3));
  Bytes cut(flipped.begin(), flipped.end() - 1);
  block = kxAllocMemoryBlock(cut.size());
  memcpy(block->data, cut.data(), cut.size());
  EXPECT_FALSE(pack.SalvageFromMemoryBlock(block));
  kxFreeMemoryBlock(block);
  EXPECT_EQ(pack.Length(), 3u) << "a refused salvage keeps the entries";
}
