#include "platform/sdl/fontconfig_lookup.h"

#include <fontconfig/fontconfig.h>

namespace nova {

struct TFontconfig::TImpl {
  FcConfig* Config = nullptr;
};

namespace {

const FcChar8* U8(const std::string& s) { return reinterpret_cast<const FcChar8*>(s.c_str()); }

TFcFace Describe(FcPattern* p) {
  TFcFace face;
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, FC_FILE, 0, &s) == FcResultMatch) face.File = reinterpret_cast<const char*>(s);
  FcPatternGetInteger(p, FC_INDEX, 0, &face.Index);
  for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    face.Families.emplace_back(reinterpret_cast<const char*>(s));
  int spacing = FC_PROPORTIONAL;
  face.Fixed = FcPatternGetInteger(p, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_DUAL;
  return face;
}

bool HoldsKanji(FcPattern* p) {
  FcCharSet* chars = nullptr;
  return FcPatternGetCharSet(p, FC_CHARSET, 0, &chars) == FcResultMatch && FcCharSetHasChar(chars, 0x7D42) &&
         FcCharSetHasChar(chars, 0x3042);
}

// The best face for a pattern (which it takes), described when accept allows it.
template <typename Accept>
std::optional<TFcFace> BestFace(FcConfig* config, FcPattern* pattern, Accept accept) {
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  TFcFace face = accept(match) ? Describe(match) : TFcFace{};
  FcPatternDestroy(match);
  if (face.File.empty()) return std::nullopt;
  return face;
}

}  // namespace

TFontconfig::TFontconfig() : impl_(new TImpl) { impl_->Config = FcInitLoadConfigAndFonts(); }

TFontconfig::~TFontconfig() {
  if (impl_->Config) FcConfigDestroy(impl_->Config);
  delete impl_;
}

std::optional<TFcFace> TFontconfig::MatchFamily(const std::string& family) {
  if (!impl_->Config || family.empty()) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, U8(family));
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  // fontconfig always answers with something: only a face of that very family counts.
  return BestFace(impl_->Config, pattern, [&](FcPattern* match) {
    bool same = false;
    FcChar8* s = nullptr;
    for (int i = 0; !same && FcPatternGetString(match, FC_FAMILY, i, &s) == FcResultMatch; ++i)
      same = FcStrCmpIgnoreCase(s, U8(family)) == 0;
    return same;
  });
}

std::optional<TFcFace> TFontconfig::MatchJapanese(const std::string& generic) {
  if (!impl_->Config) return std::nullopt;
  FcPattern* pattern = FcNameParse(U8(generic + ":lang=ja"));
  if (!pattern) return std::nullopt;
  return BestFace(impl_->Config, pattern, HoldsKanji);
}

std::vector<TFcFace> TFontconfig::JapaneseFaces() {
  std::vector<TFcFace> faces;
  if (!impl_->Config) return faces;
  FcPattern* pattern = FcNameParse(U8(":lang=ja:outline=true"));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, nullptr);
  FcFontSet* set = FcFontList(impl_->Config, pattern, objects);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) faces.push_back(Describe(set->fonts[i]));
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return faces;
}

}  // namespace nova
