// Variables of a text: expanding them into characters and collapsing them again.
#include <algorithm>
#include <iterator>
#include <vector>

#include "base/error.h"
#include "base/sjis.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"
#include "text/kt_word.h"
#include "text/markup.h"

namespace nova {

namespace {

// The value listed under key in name=value lines; false when the key is not listed.
bool ListedValue(const std::vector<std::string>& list, std::string_view key, std::string& value) {
  for (const std::string& line : list) {
    if (line.size() > key.size() && line[key.size()] == '=' && line.compare(0, key.size(), key) == 0) {
      value = line.substr(key.size() + 1);
      return true;
    }
  }
  return false;
}

std::string Run(TNovaParser& parser, TParamCollection& store, TSysFuncMan& funcs) {
  try {
    parser.Execute(store, funcs);
  } catch (const ENovaError&) {
    return std::string();
  }
  return parser.Result ? parser.Result->GetAsStr() : std::string();
}

}  // namespace

std::string TKtWord::VarValue(TWdOpeVar& v, TParamCollection* store, TSysFuncMan* funcs) {
  std::string_view text = TrimBlanks(v.Expression);
  if (text.empty()) {
    // Old streams hold only the compiled expression.
    if (!v.Parser || !store || !funcs) return std::string();
    return Run(*v.Parser, *store, *funcs);
  }
  if (!VarValues.empty()) {
    std::string value;
    if (!ListedValue(VarValues, text, value)) return std::string();
    std::replace(value.begin(), value.end(), '\x01', '\r');
    return value;
  }
  if (!store || !funcs || v.CompileFailed) return std::string();
  if (!v.Parser) {
    try {
      v.Parser = CompileExpression(std::string(text));
    } catch (const ENovaError&) {
      v.CompileFailed = true;
      return std::string();
    }
  }
  return Run(*v.Parser, *store, *funcs);
}

void TKtWord::CollapseVar(int index) {
  auto* v = dynamic_cast<TWdOpeVar*>(Glyph(index));
  if (!v) return;
  // The expansion follows its variable; it goes in one step, so a value of many characters does
  // not cost a search of the list per character. Glyphs moved elsewhere are found in one pass.
  auto ofVar = [v](const std::unique_ptr<TWdGlyph>& g) { return g->SourceVar() == v; };
  auto from = glyphs_.begin() + index + 1;
  auto to = std::find_if_not(from, glyphs_.end(), ofVar);
  const size_t run = static_cast<size_t>(to - from);
  glyphs_.erase(from, to);
  if (run < v->Expansion.size()) std::erase_if(glyphs_, ofVar);
  v->Expansion.clear();
  v->Expanded = false;
}

void TKtWord::ExpandRange(TParamCollection* store, TSysFuncMan* funcs, int first, int last) {
  if (last < 0 || last >= Count()) last = Count() - 1;
  for (int i = std::max(first, 0); i <= last && i < Count(); ++i) {
    auto* v = dynamic_cast<TWdOpeVar*>(Glyph(i));
    if (!v) continue;
    if (v->Expanded) {
      size_t before = glyphs_.size();
      CollapseVar(i);
      last -= static_cast<int>(before - glyphs_.size());
    }
    std::string value = VarValue(*v, store, funcs);
    // The value's glyphs are made first and inserted after the variable in one step, so a long
    // value before a long text moves the rest of the list once, not once per character.
    std::vector<std::unique_ptr<TWdGlyph>> made;
    for (size_t k = 0; k < value.size();) {
      if (Count() + static_cast<int64_t>(made.size()) >= GlyphLimit) {
        dropped_ += static_cast<int64_t>(CharCount(std::string_view(value).substr(k)));
        break;
      }
      size_t len = CharLen(value, k);
      unsigned char c = static_cast<unsigned char>(value[k]);
      std::unique_ptr<TWdGlyph> g;
      if (c == '\r') {
        g = std::make_unique<TWdVarReturn>(this, v);
      } else if (len == 2 || c >= 0x20) {
        uint16_t code = c;
        if (len == 2) code = static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(value[k + 1]));
        auto ch = std::make_unique<TWdVarChar>(this, v, v->Values(), code);
        ch->Wait = v->Wait;
        ch->Link = v->Link;
        g = std::move(ch);
      }
      k += len;
      if (!g) continue;  // other control characters are dropped
      g->Owner = this;
      v->Expansion.push_back(g.get());
      made.push_back(std::move(g));
    }
    glyphs_.insert(glyphs_.begin() + i + 1, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    v->Expanded = true;
    const int inserted = static_cast<int>(made.size());
    i += inserted;
    last += inserted;
  }
}

void TKtWord::ExpandVars(TParamCollection& store, TSysFuncMan& funcs, int first, int last) {
  ExpandRange(&store, &funcs, first, last);
}

void TKtWord::ExpandVarsFromValues(int first, int last) { ExpandRange(nullptr, nullptr, first, last); }

void TKtWord::CollapseVars(int first, int last) {
  if (last < 0 || last >= Count()) last = Count() - 1;
  for (int i = std::max(first, 0); i <= last && i < Count(); ++i) {
    auto* v = dynamic_cast<TWdOpeVar*>(Glyph(i));
    if (!v || !v->Expanded) continue;
    size_t before = glyphs_.size();
    CollapseVar(i);
    last -= static_cast<int>(before - glyphs_.size());
  }
}

void TKtWord::CollectVarValues(std::vector<std::string>& list, int first, int last) const {
  if (last < 0 || last >= Count()) last = Count() - 1;
  for (int i = std::max(first, 0); i <= last; ++i) {
    auto* v = dynamic_cast<const TWdOpeVar*>(Glyph(i));
    if (!v || !v->Expanded) continue;
    std::string_view key = TrimBlanks(v->Expression);
    std::string ignored;
    if (key.empty() || ListedValue(list, key, ignored)) continue;
    list.push_back(std::string(key) + "=" + v->ExpandedValue());
  }
}

}  // namespace nova
