#include "authoring/expr_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "base/error.h"
#include "base/extended.h"
#include "base/stream.h"
#include "params/parser.h"
#include "params/sysfunc.h"
#include "authoring/text_codec.h"

namespace nova::source {
namespace {

constexpr uint8_t ocTo = 1, ocDimTo = 10, ocFunc = 11;

// Binding groups of the binary operators: lower binds first.
int Group(uint8_t op) {
  switch (op) {
    case 4: case 5: case 6: return 1;                       // * / %
    case 2: case 3: return 2;                               // + -
    case 17: case 18: return 3;                             // << >>
    case 12: case 13: case 14: case 15: case 16: case 20: return 4;  // comparisons
    case 19: return 5;                                      // ++
    case 8: return 6;                                       // &
    case 9: return 7;                                       // ^
    case 7: return 8;                                       // |
    default: return 0;
  }
}

const char* Spelling(uint8_t op) {
  static const char* const kSpell[] = {nullptr, "=", "+", "-", "*", "/", "%", "|", "&", "^", nullptr, nullptr,
                                       "==", ">", "<", ">=", "<=", "<<", ">>", "++", "<>"};
  return op <= 20 ? kSpell[op] : nullptr;
}

struct TNode {
  std::string Text;
  int Group = 0;  // 0: an atom
};

bool IsTemp(const std::string& n) { return n.rfind("____", 0) == 0 && n != "____arg"; }

std::optional<std::string> RealText(const std::string& bytes) {
  Real v = ExtendedToReal(reinterpret_cast<const uint8_t*>(bytes.data()));
  if (!std::isfinite(v) || v < 0) return std::nullopt;
  for (int prec = 1; prec <= 21; ++prec) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Lg", prec, v);
    if (std::strtold(buf, nullptr) != v) continue;
    std::string t = buf;
    if (t.find_first_of("eEn") != std::string::npos) return std::nullopt;  // exponents split into tokens
    if (t.find('.') == std::string::npos) t += ".0";
    return t;
  }
  return std::nullopt;
}

std::optional<std::string> StringLiteral(const std::string& s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      return std::nullopt;
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::optional<TNode> OperandNode(const TRawOperand& o, const std::map<std::string, TNode>& temps) {
  switch (o.Kind) {
    case 1:
      if (o.Int < 0) return std::nullopt;
      return TNode{std::to_string(o.Int), 0};
    case 2: {
      auto t = RealText(o.RealBytes);
      if (!t) return std::nullopt;
      return TNode{*t, 0};
    }
    case 3:
      if (o.Flag > 1) return std::nullopt;
      return TNode{o.Flag ? "TRUE" : "FALSE", 0};
    case 4: {
      auto t = StringLiteral(o.Str);
      if (!t) return std::nullopt;
      return TNode{*t, 0};
    }
    default: {
      auto it = temps.find(o.Str);
      if (it != temps.end()) return it->second;
      if (o.Str.empty()) return std::nullopt;
      return TNode{o.Str, 0};
    }
  }
}

std::string Wrap(const TNode& n, bool parens) { return parens ? "(" + n.Text + ")" : n.Text; }

}  // namespace

std::string CompileExprText(const std::string& sjisText) {
  TBuildNovaParser b;
  b.Build(sjisText);
  TKtMemoryStream s;
  b.SaveToStream(s);
  return s.Data();
}

std::optional<std::string> DecompileExpr(const TRawExpr& e) {
  std::map<std::string, TNode> temps;
  std::optional<std::string> result;
  for (const TRawOperation& op : e.Ops) {
    if (result) return std::nullopt;  // a statement is always the last operation
    TNode node;
    if (op.Op == ocTo) {
      if (op.Operands.size() != 1) return std::nullopt;
      auto n = OperandNode(op.Operands[0], temps);
      if (!n) return std::nullopt;
      node = *n;
    } else if (op.Op == ocDimTo) {
      if (op.Operands.size() < 2 || op.Operands[0].Kind != 0) return std::nullopt;
      std::string t = op.Operands[0].Str + "[";
      for (size_t i = 1; i < op.Operands.size(); ++i) {
        auto n = OperandNode(op.Operands[i], temps);
        if (!n) return std::nullopt;
        t += (i > 1 ? ", " : "") + n->Text;
      }
      node = {t + "]", 0};
    } else if (op.Op == ocFunc) {
      if (op.FuncCode >= kSysFuncCount) return std::nullopt;
      std::string t = std::string(SysFuncInfo(op.FuncCode).Name) + "(";
      for (size_t i = 0; i < op.Operands.size(); ++i) {
        auto n = OperandNode(op.Operands[i], temps);
        if (!n) return std::nullopt;
        t += (i ? ", " : "") + n->Text;
      }
      node = {t + ")", 0};
    } else if (Group(op.Op) && op.Operands.size() == 2) {
      auto l = OperandNode(op.Operands[0], temps);
      auto r = OperandNode(op.Operands[1], temps);
      if (!l || !r) return std::nullopt;
      int g = Group(op.Op);
      node.Group = g;
      node.Text = Wrap(*l, l->Group > g) + " " + Spelling(op.Op) + " " + Wrap(*r, r->Group >= g);
    } else {
      return std::nullopt;
    }
    if (op.Dest == "____arg") {
      if (op.Op != ocTo) return std::nullopt;
      result = node.Text;
    } else if (op.Op == ocTo && op.Dest.rfind("____d_", 0) == 0 && temps.count(op.Dest)) {
      result = temps[op.Dest].Text + " = " + node.Text;  // assignment to an array element
    } else if (IsTemp(op.Dest)) {
      temps[op.Dest] = node;
    } else {
      if (op.Op != ocTo) return std::nullopt;
      result = op.Dest + " = " + node.Text;
    }
  }
  return result;
}

std::string FormatExprSource(const std::string& bytes) {
  auto raw = ParseExprBytes(bytes);
  if (raw && raw->Ops.empty()) return "{}";
  if (raw) {
    if (auto text = DecompileExpr(*raw)) {
      auto utf8 = ExactUtf8(*text);
      bool same = false;
      try {
        same = utf8 && utf8->find_first_of("{}\r\n") == std::string::npos && CompileExprText(*text) == bytes;
      } catch (const ENovaError&) {
        same = false;
      }
      if (same) return "{" + *utf8 + "}";
    }
    return "@raw{" + FormatRawExpr(*raw) + "}";
  }
  return "@hex{" + ToHex(bytes) + "}";
}

}  // namespace nova::source
