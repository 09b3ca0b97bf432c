#include "components/text/mes_data.h"

#include <algorithm>

#include "base/error.h"
#include "base/sjis.h"
#include "components/text/mes_text_source.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "text/markup.h"

namespace nova {

namespace {

// Moves the rows of a laid-out page onto another, dy further down; returns the bottom of the
// last row moved (or -1 when there was none).
int32_t MoveRows(TWdPage& from, TWdPage& to, int32_t dy) {
  int32_t bottom = -1;
  for (auto& row : from.Rows) {
    row->Y += dy;
    row->Parent = &to;
    bottom = row->Y + row->Height;
    to.Rows.push_back(std::move(row));
  }
  from.Rows.clear();
  return bottom;
}

// Size of a page from its rows (layout does this for the pages it makes).
void FinishPage(TWdPage& page, int32_t width) {
  int32_t bottom = 0, right = width;
  for (const auto& row : page.Rows) {
    bottom = std::max(bottom, row->Y + row->Height);
    right = std::max(right, row->X + row->Width);
    for (const TWdGlyph* g : row->Children) bottom = std::max(bottom, row->Y + g->Y + g->Height);
  }
  page.Width = right;
  page.Height = bottom;
}

}  // namespace

// --- row pages

void TNovaHistData::SaveToStream(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(Rows.size()));
  for (const THistRow& r : Rows) {
    s.WriteString(r.Name);
    s.WriteInt32(r.Command);
    s.WriteInt32(r.FirstGlyph);
    s.WriteInt32(r.LastGlyph);
    s.WriteInt32(r.Height);
    s.WriteString(r.VarList);
  }
  s.WriteInt32(TotalHeight);
}

void TNovaHistData::LoadFromStream(TStream& s, int32_t version) {
  Rows.clear();
  int32_t n = s.CheckedCount(s.ReadInt32(), 20, "message data");
  Rows.resize(static_cast<size_t>(n));
  for (THistRow& r : Rows) {
    r.Name = s.ReadString();
    r.Command = s.ReadInt32();
    r.FirstGlyph = s.ReadInt32();
    r.LastGlyph = s.ReadInt32();
    r.Height = s.ReadInt32();
    if (version > 123) r.VarList = s.ReadString();
  }
  TotalHeight = s.ReadInt32();
}

std::string JoinVarList(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

std::vector<std::string> SplitVarList(const std::string& list) {
  return list.empty() ? std::vector<std::string>() : SplitMarkupLines(list);
}

bool GlyphRangeOfPositions(const TKtWord& word, int32_t first, int32_t last, int& from, int& to) {
  from = word.GlyphOfPosition(std::max(first, 0));
  to = last < 0 ? word.Count() - 1 : word.GlyphOfPosition(last);
  if (to >= word.Count()) to = word.Count() - 1;
  // What the last variable expanded into belongs to it.
  while (to + 1 < word.Count() && word.Glyph(to + 1)->SourceVar()) ++to;
  return from <= to && from < word.Count();
}

void ExpandTextVars(TKtWord& word, const TMesTextEnv& env, const std::string& varList, int from, int to) {
  word.VarValues = SplitVarList(varList);
  if (word.VarValues.empty() && env.Store && env.Funcs) {
    word.ExpandVars(*env.Store, *env.Funcs, from, to);
  } else {
    word.ExpandVarsFromValues(from, to);
  }
}

// --- caches

TKtWord* TMesDataCacheList::Fetch(TMesTextSource& source, const std::string& page, int32_t command) {
  auto it = std::find_if(pages_.begin(), pages_.end(), [&](const TPageEntry& e) { return SameText(e.Page->Name, page); });
  if (it != pages_.end()) {
    pages_.splice(pages_.begin(), pages_, it);
  } else {
    std::shared_ptr<const TMesTextPage> loaded;
    try {
      loaded = source.LoadPage(page);
    } catch (const std::exception&) {
      loaded.reset();
    }
    if (!loaded) return nullptr;
    pages_.push_front(TPageEntry{std::move(loaded), {}});
    while (pages_.size() > kPages) pages_.pop_back();
  }
  TPageEntry& entry = pages_.front();
  auto w = std::find_if(entry.Words.begin(), entry.Words.end(), [&](const TWordEntry& e) { return e.Command == command; });
  if (w != entry.Words.end()) {
    entry.Words.splice(entry.Words.begin(), entry.Words, w);
    return entry.Words.front().Word.get();
  }
  const std::string* block = entry.Page->TextBlock(command);
  if (!block) return nullptr;
  auto word = std::make_unique<TKtWord>();
  try {
    TKtMemoryStream stream(*block);
    word->LoadGlyphStream(stream);
  } catch (const std::exception&) {
    return nullptr;  // a damaged text shows nothing
  }
  entry.Words.push_front(TWordEntry{command, std::move(word)});
  while (entry.Words.size() > kWords) entry.Words.pop_back();
  return entry.Words.front().Word.get();
}

// --- message data

void TNovaNewMesData::AddReference(const std::string& page, int32_t command, int32_t textPage, int32_t width,
                                   int32_t height) {
  Names.push_back(page);
  Commands.push_back(command);
  TextPages.push_back(textPage);
  Sizes.emplace_back(width, height);
}

void TNovaNewMesData::ClearReferences() {
  Names.clear();
  Commands.clear();
  TextPages.clear();
  Sizes.clear();
}

void TNovaNewMesData::Clear() {
  ClearReferences();
  Rows.Clear();
}

void TNovaNewMesData::SaveToStream(TStream& s) const {
  s.WriteInt32(ReferenceCount());
  for (const std::string& n : Names) s.WriteString(n);
  for (int32_t c : Commands) s.WriteInt32(c);
  for (int32_t p : TextPages) s.WriteInt32(p);
  for (const auto& [w, h] : Sizes) {
    s.WriteInt32(w);
    s.WriteInt32(h);
  }
  Rows.SaveToStream(s);
}

void TNovaNewMesData::LoadFromStream(TStream& s, int32_t version) {
  Clear();
  auto n = static_cast<size_t>(s.CheckedCount(s.ReadInt32(), 16, "message data"));
  Names.resize(n);
  Commands.resize(n);
  TextPages.resize(n);
  Sizes.resize(n);
  for (std::string& name : Names) name = s.ReadString();
  for (int32_t& c : Commands) c = s.ReadInt32();
  for (int32_t& p : TextPages) p = s.ReadInt32();
  for (auto& [w, h] : Sizes) {
    w = s.ReadInt32();
    h = s.ReadInt32();
  }
  if (version > 112) Rows.LoadFromStream(s, version);
}

void TNovaNewMesData::Rebuild(TKtWord& word, TWdPageList& pages, const TMesTextEnv& env, bool flag,
                              int32_t pixelOffset, const std::string& shownValues) {
  if (!env.Texts) return;
  TMesTextSource& texts = *env.Texts;
  const int32_t spacing = word.Settings.LineSpacing;

  // Appends the text's glyphs first..last (countable positions; last < 0: to the end) and
  // expands their variables; returns the index of the first appended glyph, -1 for none.
  auto append = [&](const TKtWord& src, int32_t first, int32_t last, const std::string& varList) {
    int from = 0, to = -1;
    if (!GlyphRangeOfPositions(src, first, last, from, to)) return -1;
    const int base = word.Count();
    word.CopyGlyphsFrom(src, from, to);
    if (word.Count() == base) return -1;
    ExpandTextVars(word, env, varList, base, -1);
    return base;
  };

  if (!Rows.Rows.empty()) {
    if (Rows.Rows.size() == 1 && Rows.TotalHeight == 0) {
      // A single text shown directly.
      const THistRow& row = Rows.Rows.front();
      if (!texts.PageExists(row.Name)) return;
      TKtWord* src = Cache.Fetch(texts, row.Name, row.Command);
      if (!src) return;
      int base = append(*src, row.FirstGlyph, row.LastGlyph, row.VarList);
      if (base >= 0) word.LayoutPages(pages, base, -1);
      return;
    }
    auto page = std::make_unique<TWdPage>(&word);
    int32_t running = pixelOffset;
    std::string name;
    for (const THistRow& row : Rows.Rows) {
      if (!row.Name.empty()) name = row.Name;
      if (!texts.PageExists(name)) break;
      TKtWord* src = Cache.Fetch(texts, name, row.Command);
      if (!src) continue;
      int base = append(*src, row.FirstGlyph, row.LastGlyph, row.VarList);
      if (base < 0) continue;
      TWdPageList laid;
      word.LayoutPages(laid, base, -1);
      for (auto& p : laid) {
        int32_t bottom = MoveRows(*p, *page, running);
        if (bottom >= 0) running = bottom + spacing;
      }
    }
    FinishPage(*page, word.Settings.Width);
    pages.push_back(std::move(page));
    return;
  }

  if (Names.empty()) return;
  const int32_t boxWidth = word.Settings.Width, boxHeight = word.Settings.PageHeight;
  if (Names.size() == 1 && TextPages.front() < 0) {
    if (texts.PageExists(Names.front()))
      if (TKtWord* src = Cache.Fetch(texts, Names.front(), Commands.front())) {
        word.Settings.Width = Sizes.front().first;
        word.Settings.PageHeight = Sizes.front().second;
        int base = append(*src, 0, -1, shownValues);
        if (base >= 0) word.LayoutPages(pages, base, -1);
      }
  } else {
    auto page = std::make_unique<TWdPage>(&word);
    int32_t running = 0;
    for (size_t i = 0; i < Names.size(); ++i) {
      if (!texts.PageExists(Names[i])) break;
      TKtWord* src = Cache.Fetch(texts, Names[i], Commands[i]);
      if (!src) continue;
      word.Settings.Width = Sizes[i].first;
      word.Settings.PageHeight = Sizes[i].second;
      int base = append(*src, 0, -1, shownValues);
      int32_t bottom = -1;
      if (base >= 0) {
        TWdPageList laid;
        word.LayoutPages(laid, base, -1);
        const int32_t index = TextPages[i];
        if (index >= 0 && index < static_cast<int32_t>(laid.size()))
          bottom = MoveRows(*laid[static_cast<size_t>(index)], *page, running);
      }
      running = flag ? (bottom >= 0 ? bottom + spacing : running) : running + Sizes[i].second;
    }
    FinishPage(*page, boxWidth);
    pages.push_back(std::move(page));
  }
  word.Settings.Width = boxWidth;
  word.Settings.PageHeight = boxHeight;
}

}  // namespace nova
