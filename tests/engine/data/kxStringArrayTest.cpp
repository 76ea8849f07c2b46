#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "data/kxStringArray.h"
#include "support/kxAllocFailure.h"

namespace {

using Lines = std::vector<std::u16string>;

Lines LinesOf(const kxStringArray& array) {
  Lines lines;
  for (uint64_t i = 0; i < array.GetLinesCounf(); ++i) {
    const kxWChar* text = array.GetLine(i).GetString();
    lines.push_back(text ? text : u"");
  }
  return lines;
}

kxMemoryBlock* BlockOf(const std::string& bytes) {
  kxMemoryBlock* block = kxAllocMemoryBlock(bytes.size());
  memcpy(block->data, bytes.data(), bytes.size());
  return block;
}

}  // namespace

TEST(kxStringArrayTest, SplitsDecodedTextAtCompleteCRLFOnly) {
  // Nothing is trimmed; a byte-order mark stays in line one.
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"a\r\nb\r\n", {u"a", u"b"}},
      {"a\r\n\r\nb", {u"a", u"", u"b"}},
      {"\r\n", {u""}},
      {"", {}},
      {"a\nb", {u"a\nb"}},
      {"a\r", {u"a\r"}},
      {"a\n\r\nb\r\r\n", {u"a\n", u"b\r"}},
      {"  x \t\r\n", {u"  x \t"}},
      {"\xEF\xBB\xBFz\xC5\xBC\r\n\xE2\x82\xAC", {u"\uFEFFz\u017C", u"\u20AC"}}};
  for (const auto& [text, lines] : cases) {
    SCOPED_TRACE(text);
    kxStringArray array;
    kxMemoryBlock* block = BlockOf(text);
    EXPECT_TRUE(array.LoadFromMemoryBlock(block));
    kxFreeMemoryBlock(block);
    EXPECT_EQ(LinesOf(array), lines);
  }
}

TEST(kxStringArrayTest, LoadsAppendAndFailuresAddNothing) {
  kxStringArray array;
  array.AppendLine(u"first");
  kxMemoryBlock* plain = BlockOf("a\r\nb \xC4\x85");
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
  ASSERT_TRUE(array.LoadFromMemoryBlock(plain));
  ASSERT_TRUE(array.LoadFromCrunchedMemoryBlock(crunched));
  crunched->data[crunched->size - 1] ^= 0xFF;
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(crunched));
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(plain));
  EXPECT_FALSE(array.LoadFromCrunchedMemoryBlock(nullptr));
  EXPECT_FALSE(array.LoadFromMemoryBlock(nullptr));
  EXPECT_FALSE(array.LoadFromFile("/nonexistent/kxStringArrayTest"));
  EXPECT_FALSE(array.LoadFromFile(nullptr));
  EXPECT_EQ(LinesOf(array), (Lines{u"first", u"a", u"b \u0105", u"a", u"b \u0105"}));
  kxFreeMemoryBlock(plain);
  kxFreeMemoryBlock(crunched);

  // Lines are the array's own; an out-of-range line is a scratch string.
  array.GetLine(0) += u"!";
  array.GetLine(9) += u"scribble";
  EXPECT_EQ(array.GetLine(7).Length(), 0u) << "an out-of-range write was kept";
  EXPECT_EQ(LinesOf(array)[0], u"first!");
  EXPECT_EQ(LinesOf(array)[1], u"a");
  array.Clear();
  array.AppendLine(nullptr);
  EXPECT_EQ(LinesOf(array), Lines{u""});
}

TEST(kxStringArrayTest, LoadsLargeFiles) {
  const std::string name = (std::filesystem::temp_directory_path() /
                            ("kxStringArrayTest-" + std::to_string(std::random_device{}())))
                               .string();
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\r\n";
  std::ofstream(name, std::ios::binary) << text;
  kxStringArray array;
  ASSERT_TRUE(array.LoadFromFile(name.c_str()));
  ASSERT_EQ(array.GetLinesCounf(), 20000u);
  EXPECT_EQ(LinesOf(array)[19999], u"line 19999");
  std::ofstream(name, std::ios::binary | std::ios::trunc).close();
  EXPECT_TRUE(array.LoadFromFile(name.c_str())) << "an empty file is an empty text";
  EXPECT_EQ(array.GetLinesCounf(), 20000u);
  std::filesystem::remove(name);
}

TEST(kxStringArrayTest, RunningOutOfMemoryFailsTheLoadAndAddsNoLines) {
  const std::string text = "one\r\ntwo\r\n\xC5\xBCthree";
  const Lines loaded = {u"kept", u"one", u"two", u"\u017Cthree"};
  kxMemoryBlock* plain = BlockOf(text);
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
  const std::string name = (std::filesystem::temp_directory_path() /
                            ("kxStringArrayTest-" + std::to_string(std::random_device{}())))
                               .string();
  std::ofstream(name, std::ios::binary) << text;
  const std::vector<std::pair<const char*, std::function<bool(kxStringArray&)>>> loaders = {
      {"memory", [&](kxStringArray& a) { return a.LoadFromMemoryBlock(plain); }},
      {"crunched", [&](kxStringArray& a) { return a.LoadFromCrunchedMemoryBlock(crunched); }},
      {"file", [&](kxStringArray& a) { return a.LoadFromFile(name.c_str()); }}};
  for (const auto& loader : loaders) {
    SCOPED_TRACE(loader.first);
    const auto& load = loader.second;
    kxStringArray array;
    array.AppendLine(u"kept");
    kxTest::ForEachAllocationFailure([&] { return load(array); },
                                     [&](bool ok, bool refused) {
                                       EXPECT_TRUE(ok || refused);
                                       EXPECT_EQ(LinesOf(array), ok ? loaded : Lines{u"kept"});
                                       if (ok) array.Clear(), array.AppendLine(u"kept");
                                     });
  }
  kxFreeMemoryBlock(plain);
  kxFreeMemoryBlock(crunched);
  std::filesystem::remove(name);
}
