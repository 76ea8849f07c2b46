#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
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

// Pieces of kxExplode; a null result must come with count 0.
std::vector<Wide> Explode(const kxWChar* text, const kxWChar* delimiter, bool expectNull) {
  int32_t count = -1;
  kxWChar** pieces = kxExplode(text, delimiter, &count);
  EXPECT_EQ(pieces == nullptr, expectNull);
  EXPECT_EQ(count == 0, expectNull);
  std::vector<Wide> result;
  for (int32_t i = 0; pieces && i < count; ++i) result.push_back(pieces[i]);
  for (int32_t i = 0; pieces && i < count; ++i) free(pieces[i]);
  free(pieces);
  return result;
}

}  // namespace

TEST(kxStringTest, DecodeFollowsTheLeadByteRulesAndStaysInsideTheSource) {
  // A stray byte, or a lead byte whose sequence runs past the end, decodes as
  // 0xFF00 + byte, and so does each byte left behind it.
  const std::vector<std::pair<std::string, Wide>> cases = {
      {"\xC5\xBCo", {0x017C, u'o'}},
      {"\x80", {0xFF80}},
      {"\xF0\x9F\x98\x80", {0x07D8, 0xFF80}},
      {"\xEF\xBB\xBFhi", {0xFEFF, u'h', u'i'}},
      {"\xE2\x82\xAC", {0x20AC}},
      {std::string("a\0b", 3), {u'a', 0, u'b'}},
      {"\xE2\x82", {0xFFE2, 0xFF82}},
      {"\xC5", {0xFFC5}},
      {"ab\xF0\x9F", {u'a', u'b', 0xFFF0, 0xFF9F}}};
  for (const auto& [bytes, wide] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(Decode(bytes), wide);
  }
  EXPECT_EQ(kxUTF8Decode(nullptr, 5, nullptr, 0), 0u);
  kxWChar out[4] = {9, 9, 9, 9};
  EXPECT_EQ(kxUTF8Decode("abc", 3, out, 2), 2u);
  EXPECT_EQ(Wide(out, 4), (Wide{u'a', u'b', 9, 9})) << "written past the limit";
  // The counting pass of kxMBStrToWchar agrees with the decoding pass.
  kxWChar* converted = kxMBStrToWchar("x\xE2\x82");
  EXPECT_EQ(WideOf(converted), (Wide{u'x', 0xFFE2, 0xFF82}));
  free(converted);
}

TEST(kxStringTest, EncodeAndRoundTripOverTheWholePlane) {
  // Surrogates are encoded one by one.
  EXPECT_EQ(Encode(Wide{u'A', 0x00E9, 0x20AC, 0xD83D}), "A\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD");

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
  for (const char* utf8 : {"z\xE2\x82\xAC\xC3\xA9", ""}) {
    kxWChar* wide = kxMBStrToWchar(utf8);
    char* back = kxWcharToMBStr(wide);
    EXPECT_EQ(WideOf(wide), Decode(utf8));
    EXPECT_STREQ(back, utf8);
    free(wide);
    free(back);
  }
  EXPECT_EQ(kxMBStrToWchar(nullptr), nullptr);
  EXPECT_EQ(kxWcharToMBStr(nullptr), nullptr);
}

TEST(kxStringTest, StringOwnsAndCopiesItsText) {
  const auto text = [](const kxString& s) { return WideOf(s.GetString()); };
  kxString a(static_cast<const kxWChar*>(nullptr));
  a += u"hello";
  a += static_cast<const kxWChar*>(nullptr);
  EXPECT_EQ(kxString(static_cast<const char*>(nullptr)).Length(), 0u);
  EXPECT_EQ(text(kxString(u8"\u017Cab")), (Wide{0x017C, u'a', u'b'}));
  kxString b(a), c;
  b += u"!";
  c = a;
  c += u"?";
  EXPECT_EQ(text(a), u"hello");
  EXPECT_EQ(text(b), u"hello!");
  EXPECT_EQ(text(c), u"hello?");
  const kxString& alias = c;
  c = alias;
  EXPECT_EQ(text(c), u"hello?");
  c.Assign(kxString());
  EXPECT_EQ(c.Length(), 0u);
  // Text taken from the string itself survives the reallocation.
  kxString self(u"xy");
  self.Append(self.GetString());
  self += self;
  EXPECT_EQ(text(self), u"xyxyxyxy");
  self = self.GetString() + 6;
  EXPECT_EQ(text(self), u"xy");
}

TEST(kxStringTest, ExplodeSplitsAtEveryWholeDelimiter) {
  using Pieces = std::vector<Wide>;
  // Matching resumes after a whole delimiter, so matches never overlap; an
  // empty delimiter gives the whole text as one piece.
  const std::vector<std::tuple<const kxWChar*, const kxWChar*, Pieces>> cases = {
      {u"a,b,,c", u",", {u"a", u"b", u"", u"c"}},
      {u"a,", u",", {u"a", u""}},
      {u",", u",", {u"", u""}},
      {u"1<>2<>3", u"<>", {u"1", u"2", u"3"}},
      {u"aaaaa", u"aa", {u"", u"", u"a"}},
      {u"ab", u"abc", {u"ab"}},
      {u"a,b", u"", {u"a,b"}}};
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Explode(std::get<0>(cases[i]), std::get<1>(cases[i]), false), std::get<2>(cases[i]));
  }
  Explode(u"", u",", true);
  Explode(nullptr, u",", true);
  Explode(u"a,b", nullptr, true);
  EXPECT_EQ(kxExplode(u"a,b", u",", nullptr), nullptr);
}
