#include "authoring/page_compiler.h"

#include "authoring/carried_properties.h"

#include <set>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "params/property_table.h"
#include "authoring/expr_text.h"
#include "authoring/raw_expr.h"
#include "authoring/structure.h"
#include "authoring/text_block.h"
#include "authoring/text_codec.h"

namespace nova::source {
namespace {


std::unique_ptr<TNovaParser> ParserFromBytes(const std::string& bytes) {
  auto p = std::make_unique<TNovaParser>();
  TKtMemoryStream s(bytes);
  p->LoadFromStream(s);
  return p;
}

class TPageCompiler {
public:
  TPageCompiler(const TPageSource& src, const TLabelResolver& resolver, TPageFile& page)
      : src_(src), resolver_(resolver), page_(page) {}

  void Run() {
    ReadDirectives();
    labels_ = CollectLabels(src_);
    if (page_.Version > kPageVersionMax && !src_.Commands.empty())
      Fail(src_.Commands[0].Line, "a page of version " + std::to_string(page_.Version) + " holds no commands");
    ComputeHeaders();
    std::vector<TCodeIndent> shape;
    for (size_t i = 0; i < src_.Commands.size(); ++i) shape.push_back({src_.Commands[i].Code, page_.Commands[i].Indent});
    structural_ = ComputeStructuralTargets(shape);
    for (size_t i = 0; i < src_.Commands.size(); ++i) CompileFields(i);
    BuildPropSets();
  }

private:
  const TPageSource& src_;
  const TLabelResolver& resolver_;
  TPageFile& page_;
  TLabelMap labels_;
  std::vector<int32_t> structural_;
  std::vector<std::set<int>> usedProps_;  // per command
  std::map<int, std::pair<int, std::string>> explicitSets_;  // record index -> (line, bytes)
  int32_t propCount_ = kCommandCount;

  [[noreturn]] void Fail(int line, const std::string& m) { throw TBuildError{src_.File, line, m}; }

  int64_t IntArg(const TSourceDirective& d, size_t i, int64_t lo, int64_t hi) {
    if (d.Items.size() <= i || !d.Items[i].Key.empty() || d.Items[i].Value.K != TValue::Number)
      Fail(d.Line, "." + d.Name + " needs a number");
    int64_t v = d.Items[i].Value.Int;
    if (v < lo || v > hi) Fail(d.Line, "." + d.Name + ": " + std::to_string(v) + " is out of range");
    return v;
  }

  std::string HexArg(const TSourceDirective& d, size_t i) {
    if (d.Items.size() <= i || (d.Items[i].Value.K != TValue::Word && d.Items[i].Value.K != TValue::Number))
      Fail(d.Line, "." + d.Name + " needs hexadecimal bytes");
    auto b = FromHex(d.Items[i].Value.Text);
    if (!b) Fail(d.Line, "." + d.Name + ": '" + d.Items[i].Value.Text + "' is not hexadecimal bytes");
    return *b;
  }

  void ReadDirectives() {
    page_ = TPageFile();
    for (const TSourceDirective& d : src_.Directives) {
      if (d.Name == "version") {
        page_.Version = static_cast<int32_t>(IntArg(d, 0, INT32_MIN, INT32_MAX));
      } else if (d.Name == "result") {
        if (!d.Items.empty() && d.Items[0].Value.K == TValue::Word) {
          auto t = TypeCodeByWord(d.Items[0].Value.Text);
          if (!t) Fail(d.Line, "unknown type '" + d.Items[0].Value.Text + "'");
          page_.ResultType = static_cast<uint8_t>(*t);
        } else {
          page_.ResultType = static_cast<uint8_t>(IntArg(d, 0, 0, 255));
        }
      } else if (d.Name == "propsize") {
        page_.PropSetRecordSize = static_cast<int32_t>(IntArg(d, 0, 0, 1 << 20));
      } else if (d.Name == "propcount") {
        propCount_ = static_cast<int32_t>(IntArg(d, 0, 0, 1 << 16));
      } else if (d.Name == "propset") {
        int code = static_cast<int>(IntArg(d, 0, 0, 1 << 16));
        explicitSets_[code] = {d.Line, d.Items.size() > 1 ? HexArg(d, 1) : std::string()};
      } else if (d.Name == "trailing") {
        page_.Trailing = HexArg(d, 0);
      } else {
        Fail(d.Line, "unknown directive '." + d.Name + "'");
      }
    }
  }

  int64_t OptionInt(const TSourceCommand& c, const TItem& it, int64_t lo, int64_t hi) {
    if (!it.HasValue || it.Value.K != TValue::Number) Fail(c.Line, it.Key + " needs a number");
    if (it.Value.Int < lo || it.Value.Int > hi) Fail(c.Line, it.Key + ": value out of range");
    return it.Value.Int;
  }

  void ComputeHeaders() {
    for (const TSourceCommand& c : src_.Commands) {
      const TCommandLayout& layout = CommandLayout(c.Code);
      TCommandRecord rec;
      rec.CodeByte = static_cast<uint8_t>(c.Code);
      rec.Indent = c.Indent;
      rec.CommentedOut = layout.AlwaysCommentedOut ? 1 : 0;
      rec.Continue = static_cast<uint8_t>(layout.ForcedContinue >= 0 ? layout.ForcedContinue : 1);
      rec.Line = c.Line;
      for (const TItem& it : c.Items) {
        if (it.Key.empty() || it.Key[0] != '@') continue;
        if (it.Key == "@commented") {
          rec.CommentedOut = it.HasValue ? static_cast<uint8_t>(OptionInt(c, it, 0, 255)) : 1;
        } else if (it.Key == "@continue") {
          rec.Continue = static_cast<uint8_t>(OptionInt(c, it, 0, 255));
        } else if (it.Key == "@line") {
          rec.Line = static_cast<int32_t>(OptionInt(c, it, INT32_MIN, INT32_MAX));
        } else if (it.Key == "@indent") {
          rec.Indent = static_cast<int32_t>(OptionInt(c, it, INT32_MIN, INT32_MAX));
        } else if (it.Key == "@code") {
          int64_t b = OptionInt(c, it, 0, 255);
          if ((b & 0x7F) != c.Code) Fail(c.Line, "@code: the low seven bits must give the command's code");
          rec.CodeByte = static_cast<uint8_t>(b);
        } else {
          Fail(c.Line, "unknown option '" + it.Key + "'");
        }
      }
      page_.Commands.push_back(std::move(rec));
    }
  }

  std::string ExprBytesOf(const TSourceCommand& c, const TValue& v, const std::string& what) {
    switch (v.K) {
      case TValue::Expr: {
        size_t b = v.Text.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string(4, '\0');  // {}: no operations
        auto sjis = ExactSjis(v.Text);
        if (!sjis) Fail(c.Line, what + ": the expression has characters without a Shift-JIS form");
        try {
          return CompileExprText(*sjis);
        } catch (const ENovaError& e) {
          Fail(c.Line, what + ": " + SjisToUtf8(e.what()) + " in {" + v.Text + "}");
        }
      }
      case TValue::RawExpr: {
        std::string err;
        auto raw = ParseRawExpr(v.Text, err);
        if (!raw) Fail(c.Line, what + ": " + err);
        return ExprBytes(*raw);
      }
      case TValue::HexExpr: {
        auto b = FromHex(v.Text);
        if (!b || !ParseExprBytes(*b)) Fail(c.Line, what + ": not a stored expression");
        return *b;
      }
      default:
        Fail(c.Line, what + " takes an expression, not " + KindName(v.K));
    }
  }

  int32_t TargetByLabel(const TSourceCommand& c, const std::string& pageName, const std::string& label) {
    const TLabelMap* map = nullptr;
    if (pageName.empty() || SameText(pageName, src_.PageName)) {
      map = &labels_;
    } else if (resolver_) {
      map = resolver_(pageName);
    }
    std::string shown = SjisToUtf8(label);
    if (!map) Fail(c.Line, "label \"" + shown + "\": page \"" + SjisToUtf8(pageName) + "\" is not part of this build; give the index as a number");
    auto it = map->find(label);
    if (it == map->end()) Fail(c.Line, "label \"" + shown + "\" not found in page \"" + SjisToUtf8(pageName.empty() ? src_.PageName : pageName) + "\"");
    return it->second;
  }

  void CompileFields(size_t index) {
    const TSourceCommand& c = src_.Commands[index];
    TCommandRecord& rec = page_.Commands[index];
    const TCommandLayout& layout = CommandLayout(c.Code);
    const size_t nf = layout.Fields.size();
    std::vector<const TValue*> vals(nf, nullptr);
    std::map<int, const TValue*> props;
    size_t nextPositional = 0;
    auto present = [&](size_t i) {
      return layout.Fields[i].MinVersion == 0 || page_.Version >= layout.Fields[i].MinVersion;
    };
    for (const TItem& it : c.Items) {
      if (!it.Key.empty() && it.Key[0] == '@') continue;
      if (it.Key.rfind("PR_", 0) == 0) {
        if (!IsPropertyCommand(c.Code)) Fail(c.Line, std::string(layout.Name) + " carries no properties");
        int id = FindPropertyByName(it.Key);
        if (id < 0) Fail(c.Line, "unknown property '" + it.Key + "'");
        if (props.count(id)) Fail(c.Line, it.Key + " is given twice");
        props[id] = &it.Value;
        continue;
      }
      size_t f = nf;
      if (!it.Key.empty()) {
        for (size_t i = 0; i < nf; ++i)
          if (it.Key == layout.Fields[i].Name && layout.Fields[i].Kind != TFieldKind::Properties) f = i;
        if (f == nf) Fail(c.Line, std::string(layout.Name) + " has no field '" + it.Key + "'");
        if (!present(f))
          Fail(c.Line, "field '" + it.Key + "' needs page version " + std::to_string(layout.Fields[f].MinVersion) + " or later");
        if (vals[f]) Fail(c.Line, "field '" + it.Key + "' is given twice");
      } else {
        while (nextPositional < nf && (vals[nextPositional] || !present(nextPositional) ||
                                        layout.Fields[nextPositional].Kind == TFieldKind::Properties))
          ++nextPositional;
        if (nextPositional == nf) Fail(c.Line, std::string("too many values for ") + layout.Name);
        f = nextPositional;
      }
      vals[f] = &it.Value;
    }

    // The page field decides where label targets are looked up.
    std::string pageField;
    for (size_t i = 0; i < nf; ++i)
      if (std::string(layout.Fields[i].Name) == "page" && vals[i] && vals[i]->K == TValue::String) pageField = vals[i]->Text;

    usedProps_.resize(src_.Commands.size());
    for (size_t i = 0; i < nf; ++i) {
      const TFieldLayout& fl = layout.Fields[i];
      if (!present(i)) continue;
      const TValue* v = vals[i];
      const std::string name = fl.Name;
      TFieldValue out;
      out.Kind = fl.Kind;
      switch (fl.Kind) {
        case TFieldKind::Expr:
          out.Expr = ParserFromBytes(v ? ExprBytesOf(c, *v, name) : std::string(4, '\0'));
          break;
        case TFieldKind::String:
          if (v && v->K != TValue::String) Fail(c.Line, name + " takes a string, not " + KindName(v->K));
          out.Str = v ? v->Text : std::string();
          break;
        case TFieldKind::TextBlock:
          if (v && v->K != TValue::RawText && v->K != TValue::String)
            Fail(c.Line, name + " takes marked-up text \"...\" or a raw text block @raw\"...\"");
          if (v && v->K == TValue::String) {
            try {
              out.Str = CompileTextBlock(v->Text);
            } catch (const ENovaError& e) {
              Fail(c.Line, "text block: " + SjisToUtf8(e.what()));
            }
          } else {
            out.Str = v ? v->Text : std::string();
          }
          break;
        case TFieldKind::Int32:
          if (!v) {
            out.Int = IsStructuralField(c.Code, name) ? structural_[index] : 0;
          } else if (v->K == TValue::String && name == "target" && !IsStructuralField(c.Code, name)) {
            out.Int = TargetByLabel(c, pageField, v->Text);
          } else if (v->K == TValue::Number && v->Int >= INT32_MIN && v->Int <= INT32_MAX) {
            out.Int = static_cast<int32_t>(v->Int);
          } else {
            Fail(c.Line, name + " takes a number" + std::string(name == "target" ? " or a label name" : ""));
          }
          break;
        case TFieldKind::Byte:
          if (!v) {
            out.Int = 0;
          } else if (v->K == TValue::Word && name == "type" && TypeCodeByWord(v->Text)) {
            out.Int = *TypeCodeByWord(v->Text);
          } else if (v->K == TValue::Word && name == "scope" && ScopeCodeByWord(v->Text)) {
            out.Int = *ScopeCodeByWord(v->Text);
          } else if (v->K == TValue::Number && v->Int >= 0 && v->Int <= 255) {
            out.Int = static_cast<int32_t>(v->Int);
          } else {
            Fail(c.Line, name + " takes a number from 0 to 255");
          }
          break;
        case TFieldKind::ExprList:
          if (v && v->K != TValue::List) Fail(c.Line, name + " takes a list [{...} ...]");
          if (v)
            for (const TValue& e : v->Items) out.Exprs.push_back(ParserFromBytes(ExprBytesOf(c, e, name)));
          break;
        case TFieldKind::Properties:
          for (const auto& [id, pv] : props) {
            out.Props[static_cast<size_t>(id)] = ParserFromBytes(ExprBytesOf(c, *pv, PropertyName(id)));
            usedProps_[index].insert(id);
          }
          break;
      }
      rec.Fields.push_back(std::move(out));
    }
  }

  void BuildPropSets() {
    std::array<TPropSet, kCommandCount> used{};
    for (size_t i = 0; i < src_.Commands.size(); ++i) {
      TPropSet& set = used[static_cast<size_t>(src_.Commands[i].Code)];
      AddClassProperties(set, src_.Commands[i].Code);
      for (int id : usedProps_[i]) PropSetAdd(set, id);
    }
    size_t size = static_cast<size_t>(page_.PropSetRecordSize);
    for (const auto& [code, e] : explicitSets_)
      if (code >= propCount_) Fail(e.first, ".propset " + std::to_string(code) + " lies past .propcount");
    page_.PropSetRecords.clear();
    for (int32_t i = 0; i < propCount_; ++i) {
      std::string r;
      auto ex = explicitSets_.find(i);
      if (ex != explicitSets_.end()) {
        r = ex->second.second;
      } else if (i < kCommandCount) {
        r.assign(reinterpret_cast<const char*>(used[static_cast<size_t>(i)].data()), kPropSetBytes);
      }
      r.resize(size, '\0');
      page_.PropSetRecords.push_back(std::move(r));
    }
    SyncPropSets(page_);
    for (size_t i = 0; i < src_.Commands.size(); ++i) {
      const TSourceCommand& c = src_.Commands[i];
      if (!IsPropertyCommand(c.Code)) continue;
      const TPropSet& set = page_.PropSets[static_cast<size_t>(c.Code)];
      for (int id : usedProps_[i])
        if (!PropSetHas(set, id))
          Fail(c.Line, std::string(PropertyName(id)) + " is not in the page's property set for " + CommandLayout(c.Code).Name);
      // Every set bit carries an expression; those the source leaves out are empty.
      for (TFieldValue& f : page_.Commands[i].Fields)
        if (f.Kind == TFieldKind::Properties)
          for (int id = 0; id < kPropertyCount; ++id)
            if (PropSetHas(set, id) && !f.Props[static_cast<size_t>(id)])
              f.Props[static_cast<size_t>(id)] = std::make_unique<TNovaParser>();
    }
  }
};

}  // namespace

std::vector<std::string> SourceLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    std::string l = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(std::move(l));
  }
  return lines;
}

std::optional<int> TypeCodeByWord(const std::string& w) {
  if (w == "int") return 1;
  if (w == "real") return 2;
  if (w == "flag") return 3;
  if (w == "str") return 4;
  return std::nullopt;
}

std::optional<int> ScopeCodeByWord(const std::string& w) {
  static const char* const kWords[] = {"global", "auto", "local", "status"};
  for (int i = 0; i < 4; ++i)
    if (w == kWords[i]) return i;
  return std::nullopt;
}

const char* ScopeWord(int code) {
  static const char* const kWords[] = {"global", "auto", "local", "status"};
  return code >= 0 && code <= 3 ? kWords[code] : nullptr;
}

const char* TypeWord(int code) {
  static const char* const kWords[] = {nullptr, "int", "real", "flag", "str"};
  return code >= 1 && code <= 4 ? kWords[code] : nullptr;
}

TPageSource ParsePageSource(const std::string& text, const std::string& file, const std::string& pageName) {
  TPageSource src;
  src.File = file;
  src.PageName = pageName;
  int line = 0;
  for (const std::string& l : SourceLines(text)) {
    ++line;
    size_t spaces = 0;
    while (spaces < l.size() && l[spaces] == ' ') ++spaces;
    if (spaces < l.size() && l[spaces] == '\t') throw TBuildError{file, line, "indent with spaces, not tabs"};
    if (spaces == l.size() || l[spaces] == '#') continue;
    try {
      if (l[spaces] == '.') {
        size_t e = l.find_first_of(" \t", spaces);
        TSourceDirective d;
        d.Line = line;
        d.Name = l.substr(spaces + 1, e == std::string::npos ? std::string::npos : e - spaces - 1);
        if (e != std::string::npos) d.Items = SplitItems(l.substr(e));
        src.Directives.push_back(std::move(d));
        continue;
      }
      if (spaces % 2) throw TBuildError{file, line, "indentation must be a multiple of two spaces"};
      size_t e = l.find_first_of(" \t", spaces);
      TSourceCommand c;
      c.Line = line;
      c.Indent = static_cast<int32_t>(spaces / 2);
      c.Name = l.substr(spaces, e == std::string::npos ? std::string::npos : e - spaces);
      c.Code = FindCommandByName(c.Name);
      if (c.Code < 0) throw TBuildError{file, line, "unknown command '" + c.Name + "'"};
      if (e != std::string::npos) c.Items = SplitItems(l.substr(e));
      src.Commands.push_back(std::move(c));
    } catch (const TSourceError& err) {
      throw TBuildError{file, line, err.Message};
    }
  }
  return src;
}

TLabelMap CollectLabels(const TPageSource& src) {
  TLabelMap map;
  for (size_t i = 0; i < src.Commands.size(); ++i) {
    const TSourceCommand& c = src.Commands[i];
    if (c.Code != kLabelCode && c.Code != kCommentCode) continue;
    for (const TItem& it : c.Items)
      if ((it.Key.empty() || it.Key == "name" || it.Key == "text") && it.Value.K == TValue::String) {
        map.emplace(it.Value.Text, static_cast<int32_t>(i));
        break;
      }
  }
  return map;
}

void CompilePage(const TPageSource& src, const TLabelResolver& resolver, TPageFile& page) {
  TPageCompiler(src, resolver, page).Run();
}

void CompilePageText(const std::string& text, const std::string& file, const std::string& pageName,
                     TPageFile& page) {
  TPageSource src = ParsePageSource(text, file, pageName);
  CompilePage(src, TLabelResolver(), page);
}

}  // namespace nova::source
