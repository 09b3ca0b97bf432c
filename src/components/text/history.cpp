#include "components/text/history.h"

#include <algorithm>

#include "base/error.h"
#include "base/sjis.h"
#include "components/text/mes_text_source.h"

namespace nova {

// --- one history

int32_t TNovaNewHistory::Count() const {
  if (!RowMode()) return static_cast<int32_t>(Refs.size());
  int64_t total = 0;
  for (const auto& p : Pages) total += p->TotalHeight;
  return static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

void TNovaNewHistory::Clear() {
  Refs.clear();
  Pages.clear();
  PendingPage.clear();
}

std::string TNovaNewHistory::EffectiveRefName(size_t index) const {
  for (size_t i = std::min(index + 1, Refs.size()); i-- > 0;)
    if (!Refs[i].Name.empty()) return Refs[i].Name;
  return std::string();
}

void TNovaNewHistory::ApplySettings(const THistorySettings& s) {
  Word.Settings.FontSize = s[hsFontSize];
  Word.Settings.BorderWidth = s[hsBorderWidth];
  Word.Settings.ShadowOffset = s[hsShadowOffset];
  Word.Settings.Width = s[hsWidth];
  Word.Settings.PageHeight = s[hsPageHeight];
  Word.Settings.LineSpacing = s[hsLineSpacing];
}

void TNovaNewHistory::Begin(const THistoryEntry& e, const THistorySettings& format) {
  PendingPage = e.Page;
  PendingCommand = e.Command;
  PendingFirst = e.FirstGlyph;
  PendingLast = e.LastGlyph;
  PendingBox = e.BoxName;
  PendingVarList = e.VarList;
  if (format[hsFontSize] == 0) {
    PendingWidth = e.BoxWidth;
    PendingHeight = e.BoxHeight;
    PendingTextPage = e.TextPage;
  }
  if (Pages.empty()) ApplySettings(format);
}

void TNovaNewHistory::Commit(const std::string& boxName, const TMesTextEnv& env) {
  if (PendingPage.empty() || PendingBox != boxName) return;
  if (RowMode()) {
    CommitRows(env);
  } else {
    CommitReference();
  }
  PendingPage.clear();
}

void TNovaNewHistory::CommitReference() {
  THistoryOldData ref;
  ref.Name = !Refs.empty() && SameText(PendingPage, EffectiveRefName(Refs.size() - 1)) ? std::string() : PendingPage;
  ref.Command = PendingCommand;
  ref.TextPage = PendingTextPage;
  ref.Width = PendingWidth;
  ref.Height = PendingHeight;
  Refs.push_back(std::move(ref));
  while (MaxCount > 0 && static_cast<int32_t>(Refs.size()) > MaxCount) {
    std::string name = Refs.front().Name;
    Refs.erase(Refs.begin());
    if (!name.empty() && !Refs.empty() && Refs.front().Name.empty()) Refs.front().Name = name;
  }
}

void TNovaNewHistory::CommitRows(const TMesTextEnv& env) {
  if (!env.Texts || !env.Texts->PageExists(PendingPage)) return;
  std::shared_ptr<const TMesTextPage> page;
  try {
    page = env.Texts->LoadPage(PendingPage);
  } catch (const std::exception&) {
    return;
  }
  const std::string* block = page ? page->TextBlock(PendingCommand) : nullptr;
  if (!block) return;
  Word.Metrics = env.Metrics;
  Word.Images = env.Images;
  if (!SameText(loadedPage_, PendingPage) || loadedCommand_ != PendingCommand) {
    loadedPage_.clear();
    Word.Clear();
    try {
      TKtMemoryStream stream(*block);
      Word.LoadGlyphStream(stream);
    } catch (const std::exception&) {
      Word.Clear();
      return;
    }
    loadedPage_ = PendingPage;
    loadedCommand_ = PendingCommand;
  }
  ExpandTextVars(Word, env, PendingVarList, 0, -1);
  int from = 0, to = -1;
  if (!GlyphRangeOfPositions(Word, PendingFirst, PendingLast, from, to)) return;

  TWdPageList laid;
  Word.LayoutPages(laid, from, to);
  const int32_t spacing = Word.Settings.LineSpacing;
  std::string previous;  // the effective name of the last row recorded
  for (auto it = Pages.rbegin(); it != Pages.rend() && previous.empty(); ++it)
    for (auto r = (*it)->Rows.rbegin(); r != (*it)->Rows.rend(); ++r)
      if (!r->Name.empty()) {
        previous = r->Name;
        break;
      }
  for (const auto& p : laid) {
    for (const auto& row : p->Rows) {
      THistRow h;
      h.Height = row->Height + spacing;
      h.Name = SameText(PendingPage, previous) ? std::string() : PendingPage;
      previous = PendingPage;
      h.Command = PendingCommand;
      int first = -1, last = -1;
      for (const TWdGlyph* g : row->Children) {
        int i = Word.IndexOf(g);
        if (i < 0) continue;  // the row's indent filler
        if (first < 0) first = i;
        last = i;
      }
      if (first < 0) first = last = from;
      h.FirstGlyph = Word.PositionOfGlyph(first);
      h.LastGlyph = Word.PositionOfGlyph(last);
      h.VarList = PendingVarList;
      if (Pages.empty() || Word.Settings.PageHeight < h.Height + Pages.back()->TotalHeight)
        Pages.push_back(std::make_unique<TNovaHistData>());
      Pages.back()->Add(std::move(h));
    }
  }
  while (MaxCount > 0 && static_cast<int32_t>(Pages.size()) > MaxCount) {
    // The first row kept takes over the page name it stood for.
    std::string name;
    for (const THistRow& r : Pages.front()->Rows)
      if (!r.Name.empty()) name = r.Name;
    Pages.erase(Pages.begin());
    if (!name.empty() && !Pages.empty() && !Pages.front()->Rows.empty() && Pages.front()->Rows.front().Name.empty())
      Pages.front()->Rows.front().Name = name;
  }
}

int32_t TNovaNewHistory::ShowIn(TNovaNewMesData& data, int32_t first, int32_t count) const {
  if (!RowMode()) {
    data.ClearReferences();
    for (int64_t i = first; i < int64_t{first} + count; ++i) {
      if (i < 0 || i >= static_cast<int64_t>(Refs.size())) continue;
      const THistoryOldData& r = Refs[static_cast<size_t>(i)];
      data.AddReference(EffectiveRefName(static_cast<size_t>(i)), r.Command, r.TextPage, r.Width, r.Height);
    }
    return 0;
  }
  data.Rows.Clear();
  const int64_t end = int64_t{first} + count;
  // The start page and row: the first whose bottom lies below `first`.
  int64_t sum = 0;
  size_t sp = 0;
  for (; sp < Pages.size() && sum + Pages[sp]->TotalHeight <= first; ++sp) sum += Pages[sp]->TotalHeight;
  if (sp == Pages.size()) return 0;
  int64_t y = sum;
  size_t sr = 0;
  const auto& startRows = Pages[sp]->Rows;
  for (; sr < startRows.size() && y + startRows[sr].Height <= first; ++sr) y += startRows[sr].Height;
  if (sr == startRows.size()) return 0;
  const int32_t offset = static_cast<int32_t>(y - first);
  // The end page: the first whose bottom reaches first + count; its end row likewise.
  size_t ep = sp;
  int64_t acc = sum + Pages[sp]->TotalHeight;
  while (acc < end && ep + 1 < Pages.size()) acc += Pages[++ep]->TotalHeight;
  const auto& endRows = Pages[ep]->Rows;
  size_t er = endRows.empty() ? 0 : endRows.size() - 1;
  int64_t ey = acc - Pages[ep]->TotalHeight;
  for (size_t r = 0; r < endRows.size(); ++r) {
    ey += endRows[r].Height;
    if (ey >= end) {
      er = r;
      break;
    }
  }
  // Copy from the start row to the end row, every row with the page name it stands for.
  std::string name;
  for (size_t p = 0; p <= ep; ++p)
    for (size_t r = 0; r < Pages[p]->Rows.size(); ++r) {
      const THistRow& row = Pages[p]->Rows[r];
      if (!row.Name.empty()) name = row.Name;
      if (p < sp || (p == sp && r < sr) || (p == ep && r > er)) continue;
      THistRow copy = row;
      copy.Name = name;
      data.Rows.Add(std::move(copy));
    }
  return offset;
}

void TNovaNewHistory::SaveToStream(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(Refs.size()));
  for (const THistoryOldData& r : Refs) {
    s.WriteString(r.Name);
    s.WriteInt32(r.Command);
    s.WriteInt32(r.TextPage);
    s.WriteInt32(r.Width);
    s.WriteInt32(r.Height);
  }
  s.WriteString(PendingPage);
  s.WriteInt32(PendingCommand);
  s.WriteInt32(PendingTextPage);
  s.WriteInt32(PendingWidth);
  s.WriteInt32(PendingHeight);
  s.WriteString(PendingBox);
  s.WriteInt32(MaxCount);
  const TKtWordSettings& w = Word.Settings;
  for (int32_t v : {w.FontSize, w.BorderWidth, w.ShadowOffset, w.Width, w.PageHeight, w.LineSpacing}) s.WriteInt32(v);
  s.WriteInt32(PendingFirst);
  s.WriteInt32(PendingLast);
  s.WriteInt32(static_cast<int32_t>(Pages.size()));
  for (const auto& p : Pages) p->SaveToStream(s);
  s.WriteString(PendingVarList);
}

void TNovaNewHistory::LoadFromStream(TStream& s, int32_t version) {
  Clear();
  PendingVarList.clear();
  loadedPage_.clear();
  loadedCommand_ = -1;
  Word.Clear();
  if (version < 113) (void)s.ReadString();
  if (version > 112) {
    auto n = static_cast<size_t>(s.CheckedCount(s.ReadInt32(), 20, "history"));
    Refs.resize(n);
    for (THistoryOldData& r : Refs) {
      r.Name = s.ReadString();
      r.Command = s.ReadInt32();
      r.TextPage = s.ReadInt32();
      r.Width = s.ReadInt32();
      r.Height = s.ReadInt32();
    }
  } else {
    auto n = static_cast<size_t>(s.CheckedCount(s.ReadInt32(), 20, "history"));
    Refs.resize(n);
    for (THistoryOldData& r : Refs) r.Name = s.ReadString();
    for (THistoryOldData& r : Refs) r.Command = s.ReadInt32();
    for (THistoryOldData& r : Refs) r.TextPage = s.ReadInt32();
    for (THistoryOldData& r : Refs) {
      r.Width = s.ReadInt32();
      r.Height = s.ReadInt32();
    }
  }
  PendingPage = s.ReadString();
  PendingCommand = s.ReadInt32();
  PendingTextPage = s.ReadInt32();
  PendingWidth = s.ReadInt32();
  PendingHeight = s.ReadInt32();
  PendingBox = s.ReadString();
  if (version > 112) {
    MaxCount = s.ReadInt32();
    THistorySettings settings;
    for (int32_t& v : settings) v = s.ReadInt32();
    ApplySettings(settings);
    PendingFirst = s.ReadInt32();
    PendingLast = s.ReadInt32();
    auto n = s.CheckedCount(s.ReadInt32(), 8, "history");
    for (int32_t i = 0; i < n; ++i) {
      Pages.push_back(std::make_unique<TNovaHistData>());
      Pages.back()->LoadFromStream(s, version);
    }
  }
  if (version > 123) PendingVarList = s.ReadString();
}

// --- the formats

TNovaHistoryFormatManager::TNovaHistoryFormatManager() { Reset(); }

TNovaHistoryFormat* TNovaHistoryFormatManager::FindFormat(const std::string& name) {
  for (auto& f : formats_)
    if (f->Name == name) return f.get();
  return nullptr;
}

TNovaHistoryFormat& TNovaHistoryFormatManager::GetFormat(const std::string& name) {
  if (TNovaHistoryFormat* f = FindFormat(name)) return *f;
  formats_.push_back(std::make_unique<TNovaHistoryFormat>());
  formats_.back()->Name = name;
  return *formats_.back();
}

void TNovaHistoryFormatManager::BeginEntry(const THistoryEntry& entry) {
  for (auto& f : formats_) f->History.Begin(entry, f->Settings);
}

void TNovaHistoryFormatManager::CommitEntry(const std::string& boxName) {
  for (auto& f : formats_) f->History.Commit(boxName, Env);
}

void TNovaHistoryFormatManager::ClearAll() {
  for (auto& f : formats_) f->History.Clear();
}

void TNovaHistoryFormatManager::Reset() {
  formats_.clear();
  GetFormat(std::string());
}

void TNovaHistoryFormatManager::SaveToStream(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(formats_.size()));
  for (const auto& f : formats_) {
    s.WriteString(f->Name);
    for (int32_t v : f->Settings) s.WriteInt32(v);
    f->History.SaveToStream(s);
  }
}

void TNovaHistoryFormatManager::LoadFromStream(TStream& s, int32_t version) {
  formats_.clear();
  int32_t n = s.CheckedCount(s.ReadInt32(), 4 + 24, "history");
  for (int32_t i = 0; i < n; ++i) {
    auto f = std::make_unique<TNovaHistoryFormat>();
    f->Name = s.ReadString();
    for (int32_t& v : f->Settings) v = s.ReadInt32();
    f->History.LoadFromStream(s, version);
    formats_.push_back(std::move(f));
  }
  if (!FindFormat(std::string())) GetFormat(std::string());
}

void TNovaHistoryFormatManager::LoadDefaultHistory(TStream& s, int32_t version) {
  Reset();
  Default().History.LoadFromStream(s, version);
}

}  // namespace nova
