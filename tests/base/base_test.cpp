#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "base/crc32.h"
#include "base/encoding.h"
#include "base/extended.h"
#include "base/geometry.h"
#include "base/hash_collection.h"
#include "base/kt_random.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "base/text_lines.h"

namespace nova {
namespace {

// "ア" = 0x83 0x41, "ヂ" = 0x83 0x61, "ソ" = 0x83 0x5C.
const std::string kA = "\x83\x41", kDi = "\x83\x61", kSo = "\x83\x5C";

TEST(Sjis, CharactersAndCounts) {
  EXPECT_EQ(CharCount(kA + kSo + "x"), 3u);
  EXPECT_EQ(CharCount("\x83"), 1u);  // a lone lead byte at the end counts once
  EXPECT_TRUE(IsTrailByteAt(kSo, 1));
  EXPECT_FALSE(IsTrailByteAt("a\\", 1));
  EXPECT_EQ(CharToByte(kA + "b" + kSo, 2), 3u);
}

TEST(Sjis, CaseFoldingNeverTouchesTrailBytes) {
  EXPECT_TRUE(SameText("CG\\Bg01.BRI", "cg\\bg01.bri"));
  EXPECT_FALSE(SameText(kA, kDi));
  EXPECT_EQ(LowerCaseAnsi(kA + "AB"), kA + "ab");
  EXPECT_EQ(UpperCaseAnsi(kDi + "ab"), kDi + "AB");
}

TEST(Sjis, PathPartsRespectTrailBackslash) {
  // The 0x5C of "ソ" is not a separator.
  std::string path = "dir\\" + kSo + ".ogg";
  EXPECT_EQ(ExtractFilePath(path), "dir\\");
  EXPECT_EQ(ExtractFileName(path), kSo + ".ogg");
  EXPECT_EQ(ExtractFileName(kSo), kSo);
  EXPECT_EQ(ExtractFileExt("a.b\\c"), "");
  EXPECT_EQ(ExtractFileExt("c\\x.Nsb"), ".Nsb");
  EXPECT_EQ(ChangeFileExt("c\\x.txt", ".nsb"), "c\\x.nsb");
  EXPECT_EQ(IncludeTrailingBackslash(kSo), kSo + "\\");
  EXPECT_EQ(IncludeTrailingBackslash("a\\"), "a\\");
}

TEST(Encoding, RoundTripAndReplacement) {
  EXPECT_EQ(SjisToUtf8("\x83\x5C\x8E\x9A"), "ソ字");
  EXPECT_EQ(Utf8ToSjis("ソ字"), "\x83\x5C\x8E\x9A");
  EXPECT_EQ(SjisToUtf8("\x81\x60"), "～");  // CP932 maps 0x8160 to U+FF5E
  std::string out;
  EXPECT_FALSE(TrySjisToUtf8("a\xFF", out));
  EXPECT_EQ(SjisToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(Utf8ToSjis("a\xF0\x9F\x98\x80" "b"), "a?b");
}

struct NamedItem : THashCollectionItem {};

// Settings lines split at every kind of line end and lose the blanks around them.
TEST(TextLines, SplitAndTrim) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\n\nd\n"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_TRUE(SplitLines("").empty());
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"  key = v \t\r\n", "key = v"}, {" \t\r\n", ""}, {"", ""}, {"x", "x"}, {"\x83\x41 ", "\x83\x41"}};
  for (const Case& c : cases) EXPECT_EQ(TrimBlanks(c.in), c.out) << c.in;
}

TEST(HashCollection, BucketFormula) {
  EXPECT_EQ(THashCollection::HashOf(""), 0);
  EXPECT_EQ(THashCollection::HashOf("a"), 16);
  // L = 3: 48 + 'a' + 'b'
  EXPECT_EQ(THashCollection::HashOf("abc"), (48 + 'a' + 'b') & 0xFF);
  EXPECT_EQ(THashCollection::HashOf("ABC"), THashCollection::HashOf("abc"));
}

TEST(HashCollection, DenseIndicesHeadInsertionAndCaseInsensitiveLookup) {
  THashCollection c;
  c.Add(std::make_unique<NamedItem>(), "one");
  c.Add(std::make_unique<NamedItem>(), "ONE");  // same bucket, newer goes to the head
  c.Add(std::make_unique<NamedItem>(), "two");
  EXPECT_EQ(c.IndexOf("One"), 1);
  EXPECT_EQ(c.BucketHead(THashCollection::HashOf("one"))->Index(), 1);
  c.Delete(0);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.IndexOf("two"), 1);
  EXPECT_EQ(c.IndexOf("one"), 0);
  c.SetItemName(c.Item(0), "three");
  EXPECT_EQ(c.IndexOf("one"), -1);
  EXPECT_EQ(c.IndexOf("THREE"), 0);
  EXPECT_EQ(c.IndexOf(kA), -1);
}

TEST(KtRandom, StepAndPermutation) {
  TKtRandom r(1803562217u);
  EXPECT_EQ(r.Step(), 1803562217u);
  EXPECT_EQ(r.Step(), 1803562217u * 5u + 1803562217u);
  TKtRandom p(7);
  p.Init(5);
  bool seen[5] = {};
  for (int i = 0; i < 5; ++i) {
    uint32_t v = p.Next();
    ASSERT_LT(v, 5u);
    EXPECT_FALSE(seen[v]);
    seen[v] = true;
  }
  // The first pick is state 7 mod 5 = 2 from the pool 0..4.
  TKtRandom q(7);
  q.Init(5);
  EXPECT_EQ(q.Next(), 2u);
}

TEST(Crc32, KnownValue) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  uint32_t part = Crc32Update(0, "1234", 4);
  EXPECT_EQ(Crc32Update(part, "56789", 5), 0xCBF43926u);
}

TEST(Extended, KnownEncodingsAndRoundTrip) {
  struct Case {
    Real v;
    uint8_t bytes[10];
  } cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {0.5L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
  };
  for (const Case& c : cases) {
    uint8_t out[10];
    RealToExtended(c.v, out);
    EXPECT_EQ(std::memcmp(out, c.bytes, 10), 0) << static_cast<double>(c.v);
    EXPECT_EQ(ExtendedToReal(c.bytes), c.v);
  }
  for (Real v : {0.1L, 3.14159265358979323846L, -1e300L * 1e300L, 1e-4940L, std::numeric_limits<Real>::max()}) {
    uint8_t out[10];
    RealToExtended(v, out);
    EXPECT_EQ(ExtendedToReal(out), v) << static_cast<double>(v);
  }
  uint8_t inf[10];
  RealToExtended(std::numeric_limits<Real>::infinity(), inf);
  EXPECT_TRUE(std::isinf(ExtendedToReal(inf)));
}

TEST(Stream, TypedFieldsAndLenientEnd) {
  TKtMemoryStream s;
  s.WriteInt32(-5);
  s.WriteString("abc");
  s.WriteInt64(0x123456789LL);
  s.WriteExtended(2.5L);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadInt32(), -5);
  EXPECT_EQ(s.ReadString(), "abc");
  EXPECT_EQ(s.ReadInt64(), 0x123456789LL);
  EXPECT_EQ(s.ReadExtended(), 2.5L);
  EXPECT_EQ(s.ReadInt32(), 0);  // past the end
  // A length larger than the stream gives only what is there.
  TKtMemoryStream t;
  t.WriteInt32(1000000);
  t.WriteBytes("xy");
  t.SetPosition(0);
  EXPECT_EQ(t.ReadString(), "xy");
}

TEST(Geometry, RectanglesNearTheEndOfTheRangeStopThere) {
  EXPECT_EQ(TRect::FromSize(10, 20, 30, 40), (TRect{10, 20, 40, 60}));
  const TRect far = TRect::FromSize(INT32_MAX - 5, INT32_MIN + 2, 100, -100);
  EXPECT_EQ(far, (TRect{INT32_MAX - 5, INT32_MIN + 2, INT32_MAX, INT32_MIN}));
  EXPECT_EQ(far.Width(), 5);  // wrapped around, the far edge would lie left of the near one
}

}  // namespace
}  // namespace nova
