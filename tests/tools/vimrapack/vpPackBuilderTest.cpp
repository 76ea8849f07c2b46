#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "vpPackBuilder.h"
#include "vpTestSupport.h"

namespace {

TEST(vpPackBuilder, EntriesAreCrunchedNamedOnceAndReadBack) {
  vpPackBuilder b;
  const std::vector<uint8_t> bytes(1000, 7);
  ASSERT_TRUE(b.Add("first", bytes));
  ASSERT_TRUE(b.Add("empty", {}));
  EXPECT_FALSE(b.Add("first", {1}));                         // name taken
  EXPECT_FALSE(b.Add("", {1}));                              // no name
  EXPECT_FALSE(b.Add(std::string(32, 'n'), {1}));            // does not fit the table
  EXPECT_TRUE(b.Add(std::string(31, 'n'), {1}));
  ASSERT_EQ(b.Entries().size(), 3u);
  EXPECT_EQ(b.Entries()[0].rawSize, 1000u);
  // Crunched: the expanded size leads, little-endian.
  EXPECT_EQ(b.Entries()[0].crunched[0], 0xE8);
  EXPECT_EQ(b.Entries()[0].crunched[1], 0x03);

  const std::string path = "vpPackBuilderTest." + std::to_string(getpid()) + ".bin";
  ASSERT_TRUE(b.Write(path));
  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile(path.c_str()));
  std::remove(path.c_str());
  ASSERT_EQ(pack.Length(), 3u);
  EXPECT_STREQ(pack.GetName(1), "empty");
  bool ok = false;
  EXPECT_EQ(vpTest::Expanded(pack, "first", &ok), bytes);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(vpTest::Expanded(pack, "empty", &ok).empty());
  EXPECT_TRUE(ok);
  EXPECT_FALSE(b.Write("/nonexistent-dir/x.bin"));
}

}  // namespace
