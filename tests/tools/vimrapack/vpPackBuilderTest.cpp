#include <gtest/gtest.h>
#include <unistd.h>

#include "vpPackBuilder.h"
#include "vpTestSupport.h"

namespace {

TEST(vpPackBuilder, EntriesAreCrunchedNamedOnceAndReadBack) {
  vpPackBuilder b;
  const std::vector<uint8_t> bytes(1000, 7);
  ASSERT_TRUE(b.Add("first", bytes) && b.Add("empty", {}));
  EXPECT_FALSE(b.Add("first", {1}));               // name taken
  EXPECT_FALSE(b.Add("", {1}));                    // no name
  EXPECT_FALSE(b.Add(std::string(32, 'n'), {1}));  // does not fit the table
  EXPECT_TRUE(b.Add(std::string(31, 'n'), {1}));
  ASSERT_EQ(b.Entries().size(), 3u);
  EXPECT_EQ(b.Entries()[0].crunched[0] | b.Entries()[0].crunched[1] << 8, 1000);  // size leads
  const std::string path =
      vpTest::kBinDir + "/vpPackBuilderTest." + std::to_string(getpid()) + ".bin";
  ASSERT_TRUE(b.Write(path));
  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile(path.c_str()));
  std::remove(path.c_str());
  ASSERT_EQ(pack.Length(), 3u);
  EXPECT_EQ(std::string(pack.GetName(1)) + "," + pack.GetName(2), "empty," + std::string(31, 'n'));
  bool ok[2] = {false, false};
  EXPECT_EQ(vpTest::Expanded(pack, "first", &ok[0]), bytes);
  EXPECT_TRUE(vpTest::Expanded(pack, "empty", &ok[1]).empty());
  EXPECT_TRUE(ok[0] && ok[1]);
  EXPECT_FALSE(b.Write("/nonexistent-dir/x.bin"));
}

}  // namespace
