#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data/kxStringArray.h"

namespace {

namespace fs = std::filesystem;
using Wide = std::u16string;

std::vector<Wide> LinesOf(const kxStringArray& array) {
  std::vector<Wide> lines;
  for (uint64_t i = 0; i < array.GetLinesCounf(); ++i) {
    const kxWChar* text = array.GetLine(i).GetString();
    lines.push_back(text ? Wide(text) : Wide());
  }
  return lines;
}

std::vector<Wide> Load(const std::string& utf8) {
  kxStringArray array;
  kxMemoryBlock* block = kxAllocMemoryBlock(utf8.size());
  memcpy(block->data, utf8.data(), utf8.size());
  EXPECT_TRUE(array.LoadFromMemoryBlock(block));
  kxFreeMemoryBlock(block);
  return LinesOf(array);
}

std::string TempFile() {
  return (fs::temp_directory_path() /
          ("kxStringArrayTest-" + std::to_string(std::random_device{}())))
      .string();
}

}  // namespace

TEST(kxStringArrayTest, SplitsAtCompleteCRLFOnly) {
  using L = std::vector<Wide>;
  EXPECT_EQ(Load("a\r\nb\r\n"), (L{u"a", u"b"}));
  EXPECT_EQ(Load("a\r\n\r\nb"), (L{u"a", u"", u"b"}));
  EXPECT_EQ(Load("\r\n"), (L{u""}));
  EXPECT_EQ(Load(""), L{});
  EXPECT_EQ(Load("a\nb"), (L{u"a\nb"}));
  EXPECT_EQ(Load("a\rb"), (L{u"a\rb"}));
  EXPECT_EQ(Load("a\r"), (L{u"a\r"}));
  EXPECT_EQ(Load("a\n\r\nb\r\r\n"), (L{u"a\n", u"b\r"}));
  EXPECT_EQ(Load("  x \t\r\n"), (L{u"  x \t"})) << "nothing is trimmed";
  // Text is decoded before splitting; a byte-order mark stays in line one.
  EXPECT_EQ(Load("\xEF\xBB\xBFz\xC5\xBC\r\n\xE2\x82\xAC"),
            (L{Wide{0xFEFF, u'z', 0x017C}, Wide{0x20AC}}));
}

TEST(kxStringArrayTest, LoadsAppendAndClearResets) {
  kxStringArray array;
  kxMemoryBlock* first = kxAllocMemoryBlock(4);
  memcpy(first->data, "a\r\nb", 4);
  ASSERT_TRUE(array.LoadFromMemoryBlock(first));
  ASSERT_TRUE(array.LoadFromMemoryBlock(first));
  EXPECT_EQ(LinesOf(array), (std::vector<Wide>{u"a", u"b", u"a", u"b"}));
  EXPECT_FALSE(array.LoadFromMemoryBlock(nullptr));
  EXPECT_EQ(array.GetLinesCounf(), 4u);

  array.AppendLine(u"tail");
  array.AppendLine(nullptr);
  EXPECT_EQ(array.GetLinesCounf(), 6u);
  EXPECT_EQ(array.GetLine(5).Length(), 0u);

  array.Clear();
  EXPECT_EQ(array.GetLinesCounf(), 0u);
  array.AppendLine(u"after");
  ASSERT_TRUE(array.LoadFromMemoryBlock(first));
  EXPECT_EQ(LinesOf(array), (std::vector<Wide>{u"after", u"a", u"b"}));
  kxFreeMemoryBlock(first);

  // Lines are the array's own; changing one leaves the others alone.
  array.GetLine(0) += u"!";
  EXPECT_EQ(Wide(array.GetLine(0).GetString()), u"after!");
  EXPECT_EQ(Wide(array.GetLine(1).GetString()), u"a");
}

TEST(kxStringArrayTest, OutOfRangeLineIsAnEmptyStringOfItsOwn) {
  kxStringArray array;
  array.AppendLine(u"only");
  kxString& past = array.GetLine(1);
  EXPECT_EQ(past.Length(), 0u);
  past += u"scribble";
  EXPECT_EQ(array.GetLine(7).Length(), 0u) << "an out-of-range write is not kept";
  EXPECT_EQ(Wide(array.GetLine(0).GetString()), u"only");
  EXPECT_EQ(array.GetLinesCounf(), 1u);
}

TEST(kxStringArrayTest, CrunchedBlocks) {
  const std::string text = "first\r\nsecond \xC4\x85\r\nthird";
  kxMemoryBlock* plain = kxAllocMemoryBlock(text.size());
  memcpy(plain->data, text.data(), text.size());
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
  ASSERT_NE(crunched, nullptr);
  kxStringArray array;
  ASSERT_TRUE(array.LoadFromCrunchedMemoryBlock(crunched));
  EXPECT_EQ(LinesOf(array), (std::vector<Wide>{u"first", u"second \u0105", u"third"}));

  // A block that does not expand adds nothing.
  crunched->data[crunched->size - 1] ^= 0xFF;
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(crunched));
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(plain));
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(nullptr));
  EXPECT_EQ(array.GetLinesCounf(), 3u);
  kxFreeMemoryBlock(plain);
  kxFreeMemoryBlock(crunched);
}

TEST(kxStringArrayTest, Files) {
  const std::string name = TempFile();
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\r\n";
  std::ofstream(name, std::ios::binary) << text;
  kxStringArray array;
  ASSERT_TRUE(array.LoadFromFile(name.c_str()));
  ASSERT_EQ(array.GetLinesCounf(), 20000u);
  EXPECT_EQ(Wide(array.GetLine(19999).GetString()), u"line 19999");

  std::ofstream(name, std::ios::binary | std::ios::trunc).close();
  ASSERT_TRUE(array.LoadFromFile(name.c_str()));
  EXPECT_EQ(array.GetLinesCounf(), 20000u);

  fs::remove(name);
  EXPECT_FALSE(array.LoadFromFile(name.c_str()));
  EXPECT_FALSE(array.LoadFromFile(nullptr));
  EXPECT_EQ(array.GetLinesCounf(), 20000u);
}
