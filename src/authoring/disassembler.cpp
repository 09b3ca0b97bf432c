#include "authoring/disassembler.h"

#include "authoring/carried_properties.h"

#include <map>

#include "base/sjis.h"
#include "params/property_table.h"
#include "authoring/expr_text.h"
#include "authoring/page_compiler.h"
#include "authoring/structure.h"
#include "authoring/text_block.h"
#include "authoring/text_codec.h"

namespace nova::source {
namespace {

constexpr int32_t kMaxShownIndent = 40;  // deeper (or negative) indents are written as @indent

std::string ExprBytesOf(const TNovaParser* p) {
  TKtMemoryStream s;
  if (p) {
    p->SaveToStream(s);
  } else {
    s.WriteInt32(0);
  }
  return s.Data();
}

bool IsEmptyExpr(const TNovaParser* p) { return ExprBytesOf(p) == std::string(4, '\0'); }

class TDisassembler {
public:
  TDisassembler(const TPageFile& page, const std::string& name) : page_(page), name_(name) {}

  // Commands come first so that a page whose lines count from 1 needs no @line; the
  // directives follow them (their place in a source does not matter).
  std::string Run() {
    if (page_.Version <= kPageVersionMax) {
      for (size_t i = 0; i < page_.Commands.size(); ++i) {
        const TCommandRecord& r = page_.Commands[i];
        if ((r.Code() == kLabelCode || r.Code() == kCommentCode) && !r.Fields.empty() && !r.Fields[0].Str.empty())
          labels_.emplace(r.Fields[0].Str, static_cast<int32_t>(i));
      }
      std::vector<TCodeIndent> shape;
      for (const TCommandRecord& r : page_.Commands) shape.push_back({r.Code(), r.Indent});
      structural_ = ComputeStructuralTargets(shape);
      for (size_t i = 0; i < page_.Commands.size(); ++i) Command(i);
    }
    Line("# " + Utf8Name() + " (disassembled)");
    Line(".version " + std::to_string(page_.Version));
    if (page_.Version <= kPageVersionMax) {
      if (page_.ResultType != 1) {
        const char* w = TypeWord(page_.ResultType);
        Line(".result " + (w ? std::string(w) : std::to_string(page_.ResultType)));
      }
      if (page_.PropSetRecordSize != kPropSetBytes) Line(".propsize " + std::to_string(page_.PropSetRecordSize));
      if (page_.PropSetRecords.size() != static_cast<size_t>(kCommandCount))
        Line(".propcount " + std::to_string(page_.PropSetRecords.size()));
      PropSetLines();
    }
    if (!page_.Trailing.empty()) Line(".trailing " + ToHex(page_.Trailing));
    return out_;
  }

private:
  const TPageFile& page_;
  std::string name_;
  std::string out_;
  int line_ = 0;
  std::map<std::string, int32_t> labels_;
  std::vector<int32_t> structural_;

  void Line(const std::string& s) {
    out_ += s;
    out_ += '\n';
    ++line_;
  }

  std::string Utf8Name() {
    auto u = ExactUtf8(name_);
    return u ? *u : QuoteString(name_);
  }

  void PropSetLines() {
    std::array<TPropSet, kCommandCount> used{};
    for (const TCommandRecord& r : page_.Commands) {
      if (!IsPropertyCommand(r.Code())) continue;
      AddClassProperties(used[static_cast<size_t>(r.Code())], r.Code());
      for (const TFieldValue& f : r.Fields)
        if (f.Kind == TFieldKind::Properties)
          for (int id = 0; id < kPropertyCount; ++id)
            if (PropSetHas(page_.PropSets[static_cast<size_t>(r.Code())], id) && !IsEmptyExpr(f.Props[static_cast<size_t>(id)].get()))
              PropSetAdd(used[static_cast<size_t>(r.Code())], id);
    }
    size_t size = static_cast<size_t>(std::max<int32_t>(page_.PropSetRecordSize, 0));
    for (size_t i = 0; i < page_.PropSetRecords.size(); ++i) {
      std::string computed;
      if (i < static_cast<size_t>(kCommandCount)) computed.assign(reinterpret_cast<const char*>(used[i].data()), kPropSetBytes);
      computed.resize(size, '\0');
      std::string actual = page_.PropSetRecords[i];
      actual.resize(size, '\0');
      if (computed != actual) Line(".propset " + std::to_string(i) + " " + ToHex(actual));
    }
  }

  std::string TargetText(const TCommandRecord& r, int32_t target) {
    std::string page;
    const TCommandLayout& layout = CommandLayout(r.Code());
    size_t k = 0;
    for (const TFieldLayout& f : layout.Fields) {
      if (f.MinVersion && page_.Version < f.MinVersion) continue;
      if (std::string(f.Name) == "page" && k < r.Fields.size()) page = r.Fields[k].Str;
      ++k;
    }
    if (page.empty() || SameText(page, name_)) {
      if (target >= 0 && static_cast<size_t>(target) < page_.Commands.size()) {
        const TCommandRecord& t = page_.Commands[static_cast<size_t>(target)];
        if ((t.Code() == kLabelCode || t.Code() == kCommentCode) && !t.Fields.empty()) {
          auto it = labels_.find(t.Fields[0].Str);
          if (it != labels_.end() && it->second == target) return QuoteString(t.Fields[0].Str);
        }
      }
    }
    return std::to_string(target);
  }

  void Command(size_t index) {
    const TCommandRecord& r = page_.Commands[index];
    const TCommandLayout& layout = CommandLayout(r.Code());
    std::string s;
    bool shownIndent = r.Indent >= 0 && r.Indent <= kMaxShownIndent;
    if (shownIndent) s.assign(static_cast<size_t>(r.Indent) * 2, ' ');
    s += layout.Name;
    bool positional = true;
    size_t k = 0;
    for (const TFieldLayout& f : layout.Fields) {
      if (f.MinVersion && page_.Version < f.MinVersion) continue;
      if (k >= r.Fields.size()) break;
      const TFieldValue& v = r.Fields[k++];
      const std::string name = f.Name;
      std::string text;
      bool isDefault = false;
      switch (f.Kind) {
        case TFieldKind::Expr: {
          std::string b = ExprBytesOf(v.Expr.get());
          isDefault = b == std::string(4, '\0');
          text = FormatExprSource(b);
          break;
        }
        case TFieldKind::String:
          isDefault = v.Str.empty();
          text = QuoteString(v.Str);
          break;
        case TFieldKind::TextBlock:
          isDefault = v.Str.empty();
          if (std::optional<std::string> markup = TextBlockMarkup(v.Str)) {
            text = QuoteString(*markup);
          } else {
            text = "@raw" + QuoteString(v.Str);
          }
          break;
        case TFieldKind::Int32:
          if (IsStructuralField(r.Code(), name)) {
            isDefault = v.Int == structural_[index];
            text = std::to_string(v.Int);
          } else {
            isDefault = v.Int == 0;
            text = name == "target" ? TargetText(r, v.Int) : std::to_string(v.Int);
          }
          break;
        case TFieldKind::Byte: {
          isDefault = v.Int == 0;
          const char* w = name == "type" ? TypeWord(v.Int) : name == "scope" ? ScopeWord(v.Int) : nullptr;
          text = w ? w : std::to_string(v.Int);
          break;
        }
        case TFieldKind::ExprList:
          isDefault = v.Exprs.empty();
          text = "[";
          for (size_t i = 0; i < v.Exprs.size(); ++i) text += (i ? " " : "") + FormatExprSource(ExprBytesOf(v.Exprs[i].get()));
          text += "]";
          break;
        case TFieldKind::Properties:
          for (int id = 0; id < kPropertyCount; ++id) {
            const TNovaParser* p = v.Props[static_cast<size_t>(id)].get();
            if (!PropSetHas(page_.PropSets[static_cast<size_t>(r.Code())], id) || IsEmptyExpr(p)) continue;
            s += " " + std::string(PropertyName(id)) + "=" + FormatExprSource(ExprBytesOf(p));
          }
          positional = false;
          continue;
      }
      if (isDefault) {
        positional = false;
        continue;
      }
      s += " ";
      if (!positional) s += name + "=";
      s += text;
    }
    int defaultCommented = layout.AlwaysCommentedOut ? 1 : 0;
    int defaultContinue = layout.ForcedContinue >= 0 ? layout.ForcedContinue : 1;
    if (r.CommentedOut != defaultCommented) s += r.CommentedOut == 1 ? " @commented" : " @commented=" + std::to_string(r.CommentedOut);
    if (r.Continue != defaultContinue) s += " @continue=" + std::to_string(r.Continue);
    if (!shownIndent) s += " @indent=" + std::to_string(r.Indent);
    if (r.CodeByte != r.Code()) s += " @code=" + std::to_string(r.CodeByte);
    if (r.Line != line_ + 1) s += " @line=" + std::to_string(r.Line);
    Line(s);
  }
};

}  // namespace

std::string DisassemblePage(const TPageFile& page, const std::string& pageName) {
  return TDisassembler(page, pageName).Run();
}

}  // namespace nova::source
