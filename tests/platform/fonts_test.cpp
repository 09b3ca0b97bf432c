// The headless font rasteriser, the family names read from font files, and the table of
// Windows face substitutes with its fonts.conf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "platform/font_substitutes.h"
#include "platform/headless_fonts.h"
#include "platform/platform.h"
#include "platform/sfnt_names.h"

namespace nova {
namespace {

std::string Sj(const std::string& utf8) { return Utf8ToSjis(utf8); }

// --- a minimal font file: only the tables the name reader looks at

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

std::string Utf16Be(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += Be16(c);
  return out;
}

struct TNameRecord {
  uint16_t Platform, Encoding, Language, Id;
  std::string Bytes;
};

std::string NameTable(const std::vector<TNameRecord>& records) {
  std::string head = Be16(0) + Be16(static_cast<uint32_t>(records.size())) +
                     Be16(static_cast<uint32_t>(6 + 12 * records.size()));
  std::string storage;
  for (const TNameRecord& r : records) {
    head += Be16(r.Platform) + Be16(r.Encoding) + Be16(r.Language) + Be16(r.Id) +
            Be16(static_cast<uint32_t>(r.Bytes.size())) + Be16(static_cast<uint32_t>(storage.size()));
    storage += r.Bytes;
  }
  return head + storage;
}

std::string PostTable(bool fixed) { return Be32(0x00030000) + std::string(8, '\0') + Be32(fixed ? 1 : 0) + std::string(16, '\0'); }

std::string Os2Table(uint32_t codePages1) {
  std::string t = Be16(1) + std::string(76, '\0') + Be32(codePages1) + Be32(0);
  return t;
}

// One face whose header starts at `base` of the file it goes into.
std::string Face(const std::vector<std::pair<std::string, std::string>>& tables, size_t base = 0) {
  std::string dir = Be32(0x00010000) + Be16(static_cast<uint32_t>(tables.size())) + std::string(6, '\0');
  size_t offset = base + 12 + 16 * tables.size();
  std::string data;
  for (const auto& [tag, bytes] : tables) {
    dir += tag + Be32(0) + Be32(static_cast<uint32_t>(offset + data.size())) + Be32(static_cast<uint32_t>(bytes.size()));
    data += bytes;
    while (data.size() % 4) data += '\0';
  }
  return dir + data;
}

std::string JapaneseFont(const std::u16string& windowsName, const std::string& macName, bool fixed, size_t base = 0) {
  return Face({{"name", NameTable({{3, 1, 0x411, 1, Utf16Be(windowsName)}, {1, 0, 0, 1, macName},
                                   {3, 1, 0x409, 4, Utf16Be(u"Full Name")}})},
               {"post", PostTable(fixed)},
               {"OS/2", Os2Table(1u << 17 | 1)}},
              base);
}

// --- the family names of font files

TEST(SfntNames, FamiliesPitchAndJapaneseOfOneFace) {
  std::string font = JapaneseFont(u"テスト明朝", "TestMincho", true);
  ASSERT_EQ(SfntFaceCount(font), 1);
  TSfntFaceInfo info;
  ASSERT_TRUE(ReadSfntFaceInfo(font, 0, info));
  EXPECT_EQ(info.Families, (std::vector<std::string>{Sj("テスト明朝"), "TestMincho"}));  // id 4 is not a family
  EXPECT_TRUE(info.FixedPitch);
  EXPECT_TRUE(info.Japanese);
  EXPECT_FALSE(ReadSfntFaceInfo(font, 1, info));

  std::string latin = Face({{"name", NameTable({{3, 1, 0x409, 16, Utf16Be(u"Latin Sans")},
                                                {3, 1, 0x409, 1, Utf16Be(u"Latin Sans")}})},
                            {"OS/2", Os2Table(1)}});
  ASSERT_TRUE(ReadSfntFaceInfo(latin, 0, info));
  EXPECT_EQ(info.Families, std::vector<std::string>{"Latin Sans"});  // repeats count once
  EXPECT_FALSE(info.FixedPitch);
  EXPECT_FALSE(info.Japanese);
}

TEST(SfntNames, CollectionsAndDamagedFiles) {
  std::string first = JapaneseFont(u"一番", "One", false, 20);
  std::string second = JapaneseFont(u"二番", "Two", true, 20 + first.size());
  std::string ttc = "ttcf" + Be32(0x00010000) + Be32(2) + Be32(20) + Be32(static_cast<uint32_t>(20 + first.size())) +
                    first + second;
  ASSERT_EQ(SfntFaceCount(ttc), 2);
  TSfntFaceInfo info;
  ASSERT_TRUE(ReadSfntFaceInfo(ttc, 1, info));
  EXPECT_EQ(info.Families[0], Sj("二番"));
  EXPECT_TRUE(info.FixedPitch);

  EXPECT_EQ(SfntFaceCount("not a font at all"), 0);
  EXPECT_EQ(SfntFaceCount(""), 0);
  EXPECT_EQ(SfntFaceCount("ttcf" + Be32(0x00010000) + Be32(1000000)), 0);
  // Every truncation reads without fault; what is cut off is simply missing.
  std::string font = JapaneseFont(u"テスト", "Test", true);
  for (size_t n = 0; n < font.size(); n += 3) {
    TSfntFaceInfo cut;
    ReadSfntFaceInfo(std::string_view(font).substr(0, n), 0, cut);
  }
}

// --- the headless rasteriser

TEST(HeadlessFonts, KnowsTheFourWindowsFacesOnly) {
  THeadlessFontRasterizer fonts;
  for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝"}) {
    TFontFace* face = fonts.FindFace(Sj(name));
    ASSERT_NE(face, nullptr) << name;
    EXPECT_EQ(face->Name(), Sj(name));
  }
  EXPECT_EQ(fonts.FindFace(Sj("メイリオ")), nullptr);
  EXPECT_EQ(fonts.FindFace(""), nullptr);
  EXPECT_EQ(fonts.Families(true), (std::vector<std::string>{Sj("ＭＳ ゴシック"), Sj("ＭＳ 明朝")}));
  EXPECT_EQ(fonts.Families(false).size(), 4u);
}

TEST(HeadlessFonts, GlyphsAreInsetBoxesWithASoftRim) {
  THeadlessFontRasterizer fonts;
  TFontFace* face = fonts.FindFace(Sj("ＭＳ ゴシック"));
  struct Case {
    int32_t size;
    bool bold;
    uint16_t code;
    bool mono;
    int32_t width, height, originX, originY, advance;
  };
  const Case cases[] = {
      {16, false, 0x8F49, false, 12, 12, 2, 12, 16},  // double-byte: inset 2, ascent 14
      {16, false, 'A', false, 4, 12, 2, 12, 8},       // single-byte: half the size
      {16, true, 0x8F49, false, 13, 12, 2, 12, 16},   // bold: one pixel wider
      {16, false, 0x8F49, true, 10, 10, 3, 11, 16},   // aliased: the rim is gone
      {16, false, ' ', false, 0, 0, 0, 0, 8},         // no ink
      {16, false, 0x8140, false, 0, 0, 0, 0, 16},     // full-width space
      {24, false, 0x82A0, false, 18, 18, 3, 18, 24},
  };
  for (const Case& c : cases) {
    auto font = face->CreateFont(c.size, c.bold, false);
    TGlyphBitmap b;
    ASSERT_TRUE(font->RenderGlyph(c.code, c.mono, b));
    SCOPED_TRACE(testing::Message() << "size " << c.size << " code " << c.code << " mono " << c.mono);
    EXPECT_EQ(b.Width, c.width);
    EXPECT_EQ(b.Height, c.height);
    EXPECT_EQ(b.OriginX, c.originX);
    EXPECT_EQ(b.OriginY, c.originY);
    EXPECT_EQ(b.Advance, c.advance);
    ASSERT_EQ(b.Coverage.size(), static_cast<size_t>(c.width * c.height));
    if (c.width > 0) {
      EXPECT_EQ(b.Coverage[0], c.mono ? 255 : 96);
      EXPECT_EQ(b.Coverage[static_cast<size_t>(c.width + 1)], 255);
    }
    TAbcWidths abc = font->AbcWidths(c.code);
    EXPECT_EQ(abc.A + abc.B + abc.C, c.advance);
  }
  auto font = face->CreateFont(16, false, false);
  EXPECT_EQ(font->Metrics().Ascent, 14);
  EXPECT_EQ(font->Metrics().Descent, 2);
  EXPECT_EQ(font->Metrics().StrikeOutPosition, 4);
  EXPECT_EQ(font->Metrics().UnderlineThickness, 1);
  fonts.RefuseGrey = true;
  TGlyphBitmap b;
  EXPECT_FALSE(font->RenderGlyph('A', false, b));
  EXPECT_TRUE(font->RenderGlyph('A', true, b));
}

TEST(HeadlessFonts, AddedFontsWinByEveryNameTheyDeclare) {
  THeadlessFontRasterizer fonts;
  EXPECT_EQ(fonts.AddFontData("garbage"), 0);
  ASSERT_EQ(fonts.AddFontData(JapaneseFont(u"ＭＳ ゴシック", "Game Gothic", true)), 1);
  TFontFace* face = fonts.FindFace(Sj("ＭＳ ゴシック"));
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->Source(), "font data");  // the game's own font before the built-in face
  EXPECT_EQ(fonts.FindFace("game gothic"), face);
  std::vector<std::string> fixed = fonts.Families(true);
  EXPECT_NE(std::find(fixed.begin(), fixed.end(), "Game Gothic"), fixed.end());
}

TEST(HeadlessPlatform, TakesTheHeadlessRasteriserUnlessGivenOne) {
  THeadlessPlatform plain;
  EXPECT_NE(plain.Fonts().FindFace(Sj("ＭＳ ゴシック")), nullptr);
  auto own = std::make_unique<THeadlessFontRasterizer>();
  TFontRasterizer* given = own.get();
  THeadlessPlatform withFonts(THeadlessOptions{}, std::move(own));
  EXPECT_EQ(&withFonts.Fonts(), given);
}

// --- substitutes

TEST(FontSubstitutes, BuiltInTable) {
  TFontSubstitutes table;
  struct Case {
    const char* face;
    const char* first;
    const char* second;
    bool fixed;
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP", true},
      {"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP", false},
      {"ＭＳ 明朝", "IPAMincho", "Noto Serif CJK JP", true},
      {"ＭＳ Ｐ明朝", "IPAPMincho", "Noto Serif CJK JP", false},
      {"ms gothic", "IPAGothic", "Noto Sans Mono CJK JP", true},  // ASCII case does not matter
  };
  for (const Case& c : cases) {
    const TFontSubstitute* e = table.Find(Sj(c.face));
    ASSERT_NE(e, nullptr) << c.face;
    EXPECT_EQ(e->Families, (std::vector<std::string>{c.first, c.second})) << c.face;
    EXPECT_EQ(e->FixedPitch, c.fixed) << c.face;
    EXPECT_FALSE(e->Generic.empty());
  }
  EXPECT_EQ(table.Find(Sj("ＭＳ ゴシック2")), nullptr);
}

TEST(FontSubstitutes, ConfigLinesChangeAndAddFaces) {
  TFontSubstitutes table;
  std::vector<std::string> problems = table.ApplyConfig(
      "# my fonts\n"
      "ＭＳ ゴシック = Noto Sans Mono CJK JP, IPAGothic\r\n"
      "\n"
      "  メイリオ=Noto Sans CJK JP  \n"
      "no equals sign\n"
      " = IPAGothic\n"
      "Empty = , \n"
      "Broken \xFF = IPAGothic\n");
  EXPECT_EQ(problems, (std::vector<std::string>{"line 5: expected 'Windows face = family[, family ...]'",
                                                "line 6: expected 'Windows face = family[, family ...]'",
                                                "line 7: no family for Empty",
                                                "line 8: Broken \xFF cannot be a face name (not Shift-JIS)"}));
  const TFontSubstitute* gothic = table.Find(Sj("ＭＳ ゴシック"));
  EXPECT_EQ(gothic->Families, (std::vector<std::string>{"Noto Sans Mono CJK JP", "IPAGothic"}));
  EXPECT_EQ(gothic->Generic, "monospace");  // the last resort stays
  EXPECT_TRUE(gothic->BuiltIn);
  const TFontSubstitute* meiryo = table.Find(Sj("メイリオ"));
  ASSERT_NE(meiryo, nullptr);
  EXPECT_EQ(meiryo->Families, std::vector<std::string>{"Noto Sans CJK JP"});
  EXPECT_FALSE(meiryo->BuiltIn);
  EXPECT_TRUE(meiryo->Generic.empty());
  EXPECT_EQ(table.Find("Empty"), nullptr);
}

TEST(FontSubstitutes, UserConfigPath) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(UserFontConfigPath(), "/cfg/novaplayer/fonts.conf");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(UserFontConfigPath(), "/home/u/.config/novaplayer/fonts.conf");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(UserFontConfigPath(), "");
  if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace nova
