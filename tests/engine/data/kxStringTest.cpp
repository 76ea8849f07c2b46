#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/kxString.h"

namespace {

using Wide = std::u16string;

Wide WideOf(const kxWChar* text) {
  return text ? Wide(text) : Wide();
}

Wide Decode(const std::string& bytes) {
  // Exact-size heap copy: the sanitizer build catches any read past it.
  char* source = static_cast<char*>(malloc(bytes.size() ? bytes.size() : 1));
  memcpy(source, bytes.data(), bytes.size());
  const uint64_t n = kxUTF8Decode(source, bytes.size(), nullptr, 0);
  Wide out(n, u'\0');
  EXPECT_EQ(kxUTF8Decode(source, bytes.size(), out.data(), 0), n);
  free(source);
  return out;
}

std::string Encode(const Wide& text) {
  const uint64_t n = kxUTF8Encode(text.data(), text.size(), nullptr, 0);
  std::string out(n, '\0');
  EXPECT_EQ(kxUTF8Encode(text.data(), text.size(), out.data(), 0), n);
  return out;
}

struct Exploded {
  std::vector<Wide> pieces;
  bool isNull;
};

Exploded Explode(const kxWChar* text, const kxWChar* delimiter) {
  int32_t count = -1;
  kxWChar** pieces = kxExplode(text, delimiter, &count);
  Exploded result{{}, pieces == nullptr};
  EXPECT_GE(count, 0);
  for (int32_t i = 0; pieces && i < count; ++i) {
    result.pieces.push_back(pieces[i]);
    free(pieces[i]);
  }
  free(pieces);
  if (!pieces) {
    EXPECT_EQ(count, 0);
  }
  return result;
}

}  // namespace

TEST(kxStringTest, DecodeFollowsTheLeadByteRules) {
  EXPECT_EQ(Decode("\xC5\xBCo"), (Wide{0x017C, u'o'}));
  EXPECT_EQ(Decode("\x80"), (Wide{0xFF80}));
  EXPECT_EQ(Decode("\xF0\x9F\x98\x80"), (Wide{0x07D8, 0xFF80}));
  EXPECT_EQ(Decode("\xEF\xBB\xBFhi"), (Wide{0xFEFF, u'h', u'i'}));
  EXPECT_EQ(Decode("\xE2\x82\xAC"), (Wide{0x20AC}));
  EXPECT_EQ(Decode(std::string("a\0b", 3)), (Wide{u'a', 0, u'b'}));
  EXPECT_EQ(kxUTF8Decode("abc", 0, nullptr, 0), 0u);
  EXPECT_EQ(kxUTF8Decode(nullptr, 5, nullptr, 0), 0u);

  kxWChar out[4] = {9, 9, 9, 9};
  EXPECT_EQ(kxUTF8Decode("abc", 3, out, 2), 2u);
  EXPECT_EQ(out[0], u'a');
  EXPECT_EQ(out[1], u'b');
  EXPECT_EQ(out[2], 9) << "written past the limit";
}

TEST(kxStringTest, DecodeOfCutOffSequencesStaysInsideTheSource) {
  // A lead byte whose sequence runs past the end decodes as a stray byte, and
  // so does each byte left behind it.
  EXPECT_EQ(Decode("\xE2\x82"), (Wide{0xFFE2, 0xFF82}));
  EXPECT_EQ(Decode("\xE2"), (Wide{0xFFE2}));
  EXPECT_EQ(Decode("\xC5"), (Wide{0xFFC5}));
  EXPECT_EQ(Decode("ab\xF0\x9F"), (Wide{u'a', u'b', 0xFFF0, 0xFF9F}));
  // The counting pass of kxMBStrToWchar agrees with the decoding pass.
  kxWChar* converted = kxMBStrToWchar("x\xE2\x82");
  EXPECT_EQ(WideOf(converted), (Wide{u'x', 0xFFE2, 0xFF82}));
  free(converted);
}

TEST(kxStringTest, EncodeAndRoundTripOverTheWholePlane) {
  EXPECT_EQ(Encode(Wide{0x20AC}), "\xE2\x82\xAC");
  EXPECT_EQ(Encode(Wide{0x00E9}), "\xC3\xA9");
  EXPECT_EQ(Encode(Wide{0x0041}), "A");
  EXPECT_EQ(Encode(Wide{0xD83D}), "\xED\xA0\xBD") << "surrogates are encoded one by one";
  EXPECT_EQ(kxUTF8Encode(u"abc", 0, nullptr, 0), 0u);

  Wide all;
  for (uint32_t c = 1; c <= 0xFFFF; ++c) all.push_back(kxWChar(c));
  const std::string bytes = Encode(all);
  EXPECT_EQ(bytes.size(), 0x7Fu + 2u * (0x800 - 0x80) + 3u * (0x10000 - 0x800));
  EXPECT_EQ(Decode(bytes), all);
}

TEST(kxStringTest, EncodeNeverWritesPastItsLimit) {
  const Wide text = {u'a', 0x00E9, 0x20AC, u'b'};  // 1 + 2 + 3 + 1 bytes
  const uint64_t expected[] = {0, 1, 1, 3, 3, 3, 6, 7, 7};
  for (uint64_t limit = 1; limit <= 8; ++limit) {
    char buffer[16];
    memset(buffer, 0x5A, sizeof(buffer));
    const uint64_t written = kxUTF8Encode(text.data(), text.size(), buffer, limit);
    EXPECT_EQ(written, expected[limit]) << limit;
    for (uint64_t i = limit; i < sizeof(buffer); ++i)
      ASSERT_EQ(buffer[i], 0x5A) << "limit " << limit << " byte " << i;
    EXPECT_EQ(kxUTF8Encode(text.data(), text.size(), nullptr, limit), written);
  }
}

TEST(kxStringTest, ConvertingAllocators) {
  kxWChar* wide = kxMBStrToWchar("\xC5\xBCo");
  EXPECT_EQ(WideOf(wide), (Wide{0x017C, u'o'}));
  free(wide);
  wide = kxMBStrToWchar("");
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide[0], 0);
  free(wide);
  EXPECT_EQ(kxMBStrToWchar(nullptr), nullptr);

  char* narrow = kxWcharToMBStr(u"z\u20AC\u00E9");
  EXPECT_STREQ(narrow, "z\xE2\x82\xAC\xC3\xA9");
  free(narrow);
  narrow = kxWcharToMBStr(u"");
  EXPECT_STREQ(narrow, "");
  free(narrow);
  EXPECT_EQ(kxWcharToMBStr(nullptr), nullptr);
}

TEST(kxStringTest, StringOwnsAndCopiesItsText) {
  kxString empty;
  EXPECT_EQ(empty.Length(), 0u);
  EXPECT_EQ(empty.GetString(), nullptr);
  empty.Append(u"ab");
  EXPECT_EQ(empty.Length(), 2u);
  EXPECT_EQ(WideOf(empty.GetString()), u"ab");
  empty += static_cast<const kxWChar*>(nullptr);
  EXPECT_EQ(WideOf(empty.GetString()), u"ab");

  kxString fromNull(static_cast<const kxWChar*>(nullptr));
  EXPECT_EQ(fromNull.Length(), 0u);
  kxString fromNullUtf8(static_cast<const char*>(nullptr));
  EXPECT_EQ(fromNullUtf8.Length(), 0u);
  kxString fromUtf8(
      "\xC5\xBC"
      "ab");
  EXPECT_EQ(WideOf(fromUtf8.GetString()), (Wide{0x017C, u'a', u'b'}));

  kxString a(u"hello");
  kxString b(a);
  EXPECT_NE(a.GetString(), b.GetString());
  b += u"!";
  EXPECT_EQ(WideOf(a.GetString()), u"hello");
  EXPECT_EQ(WideOf(b.GetString()), u"hello!");

  kxString c;
  c = a;
  EXPECT_NE(c.GetString(), a.GetString());
  EXPECT_EQ(WideOf(c.GetString()), u"hello");
  const kxString& alias = c;
  c = alias;
  EXPECT_EQ(WideOf(c.GetString()), u"hello");
  c.Assign(empty);
  EXPECT_EQ(WideOf(c.GetString()), u"ab");
  c.Assign(kxString());
  EXPECT_EQ(c.Length(), 0u);

  // Text taken from the string itself survives the reallocation.
  kxString self(u"xy");
  self.Append(self.GetString());
  EXPECT_EQ(WideOf(self.GetString()), u"xyxy");
  self += self;
  EXPECT_EQ(WideOf(self.GetString()), u"xyxyxyxy");
  self = self.GetString() + 6;
  EXPECT_EQ(WideOf(self.GetString()), u"xy");
}

TEST(kxStringTest, ExplodeSplitsAtEveryDelimiter) {
  EXPECT_EQ(Explode(u"a,b,,c", u",").pieces, (std::vector<Wide>{u"a", u"b", u"", u"c"}));
  EXPECT_EQ(Explode(u"a,", u",").pieces, (std::vector<Wide>{u"a", u""}));
  EXPECT_EQ(Explode(u",", u",").pieces, (std::vector<Wide>{u"", u""}));
  EXPECT_EQ(Explode(u"abc", u",").pieces, (std::vector<Wide>{u"abc"}));
  EXPECT_EQ(Explode(u"1<>2<>3", u"<>").pieces, (std::vector<Wide>{u"1", u"2", u"3"}));
  // Matching resumes after a whole delimiter, so matches never overlap.
  EXPECT_EQ(Explode(u"aaaaa", u"aa").pieces, (std::vector<Wide>{u"", u"", u"a"}));
  EXPECT_EQ(Explode(u"ab", u"abc").pieces, (std::vector<Wide>{u"ab"}));
}

TEST(kxStringTest, ExplodeEdgeArguments) {
  const Exploded whole = Explode(u"a,b", u"");
  EXPECT_FALSE(whole.isNull);
  EXPECT_EQ(whole.pieces, (std::vector<Wide>{u"a,b"}));
  EXPECT_TRUE(Explode(u"", u",").isNull);
  EXPECT_TRUE(Explode(nullptr, u",").isNull);
  EXPECT_TRUE(Explode(u"a,b", nullptr).isNull);
  EXPECT_EQ(kxExplode(u"a,b", u",", nullptr), nullptr);
}
