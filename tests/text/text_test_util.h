#pragma once
// Helpers of the text tests: Shift-JIS from UTF-8 literals, building and laying out markup, row
// texts, and a fake picture source.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "text/ktwords.h"

namespace nova::test {

inline std::string Sj(const std::string& utf8) { return Utf8ToSjis(utf8); }

// Builds markup (UTF-8) into word with the default wait 50.
inline void Build(TKtWord& word, const std::string& utf8) {
  word.BuildGlyphs(SplitMarkupLines(Utf8ToSjis(utf8)), 50);
}

// The characters of a row in UTF-8; an image as "[img]".
inline std::string RowText(const TWdRow& row) {
  std::string sjis;
  for (const TWdGlyph* g : row.Children) {
    if (auto* c = dynamic_cast<const TWdChar*>(g)) sjis += c->Text();
    if (dynamic_cast<const TWdImg*>(g)) sjis += "[img]";
  }
  return SjisToUtf8(sjis);
}

// Every page as the list of its row texts.
inline std::vector<std::vector<std::string>> PageTexts(const TWdPageList& pages) {
  std::vector<std::vector<std::string>> out;
  for (const auto& p : pages) {
    out.emplace_back();
    for (const auto& r : p->Rows) out.back().push_back(RowText(*r));
  }
  return out;
}

// Pictures by file name with fixed sizes.
class FakeImages : public TTextImageSource {
public:
  struct Picture : TTextPicture {
    int32_t W, H;
    Picture(int32_t w, int32_t h) : W(w), H(h) {}
    int32_t Width() const override { return W; }
    int32_t Height() const override { return H; }
  };
  std::map<std::string, std::pair<int32_t, int32_t>> Sizes;
  int Loads = 0;
  std::unique_ptr<TTextPicture> LoadPicture(const std::string& fileName) override {
    auto it = Sizes.find(fileName);
    if (it == Sizes.end()) return nullptr;
    ++Loads;
    return std::make_unique<Picture>(it->second.first, it->second.second);
  }
};

}  // namespace nova::test
