#include "authoring/raw_expr.h"

#include <cctype>
#include <cstring>

#include "base/stream.h"
#include "authoring/text_codec.h"

namespace nova::source {
namespace {

const char* const kOpNames[] = {"ocNone", "ocTo", "ocPlus", "ocMinus", "ocMul", "ocDiv", "ocMod",
                                "ocOr", "ocAnd", "ocXor", "ocDimTo", "ocFunc", "ocEqual", "ocBig",
                                "ocSmall", "ocEBig", "ocESmall", "ocShiftL", "ocShiftR", "ocComboStr",
                                "ocNEqual"};
constexpr uint8_t kOcFunc = 11;

// Reads exactly n bytes or fails.
bool Take(TKtMemoryStream& s, int64_t n, std::string& out) {
  if (n < 0 || s.Remaining() < n) return false;
  out = s.ReadBytes(n);
  return true;
}
bool TakeInt(TKtMemoryStream& s, int32_t& v) {
  if (s.Remaining() < 4) return false;
  v = s.ReadInt32();
  return true;
}
bool TakeString(TKtMemoryStream& s, std::string& out) {
  int32_t n;
  return TakeInt(s, n) && Take(s, n, out);
}

bool IsPlainName(const std::string& s) {
  if (s.empty()) return false;
  unsigned char c0 = static_cast<unsigned char>(s[0]);
  if (!(std::isalpha(c0) || c0 == '_')) return false;
  for (unsigned char c : s)
    if (!(std::isalnum(c) || c == '_')) return false;
  return s != "true" && s != "false";
}

std::string FormatName(const std::string& s) { return IsPlainName(s) ? s : "$" + QuoteString(s); }

// A small cursor over the raw form.
struct TCursor {
  const std::string& T;
  size_t P = 0;
  std::string& Error;
  void Skip() {
    while (P < T.size() && std::isspace(static_cast<unsigned char>(T[P]))) ++P;
  }
  bool At(char c) {
    Skip();
    return P < T.size() && T[P] == c;
  }
  bool Eat(char c) {
    if (!At(c)) return false;
    ++P;
    return true;
  }
  bool Fail(const std::string& m) {
    if (Error.empty()) Error = m;
    return false;
  }
  // A quoted string starting at P (after any prefix).
  bool Quoted(std::string& out) {
    if (P >= T.size() || T[P] != '"') return Fail("expected a quoted string");
    size_t i = P + 1;
    while (i < T.size() && T[i] != '"') i += (T[i] == '\\') ? 2 : 1;
    if (i >= T.size()) return Fail("unterminated string");
    std::string err;
    auto s = DecodeString(std::string_view(T).substr(P + 1, i - P - 1), err);
    if (!s) return Fail(err);
    out = *s;
    P = i + 1;
    return true;
  }
  std::string Word() {
    Skip();
    size_t b = P;
    while (P < T.size() && !std::isspace(static_cast<unsigned char>(T[P])) && !std::strchr(",;=\"", T[P])) ++P;
    return T.substr(b, P - b);
  }
  bool Name(std::string& out) {
    Skip();
    if (P < T.size() && T[P] == '$') {
      ++P;
      return Quoted(out);
    }
    std::string w = Word();
    if (w.empty()) return Fail("expected a name");
    auto s = ExactSjis(w);
    if (!s) return Fail("name has no Shift-JIS form: " + w);
    out = *s;
    return true;
  }
  bool Operand(TRawOperand& o) {
    Skip();
    if (P < T.size() && T[P] == '"') {
      o.Kind = 4;
      return Quoted(o.Str);
    }
    if (P < T.size() && T[P] == '$') {
      o.Kind = 0;
      return Name(o.Str);
    }
    size_t save = P;
    std::string w = Word();
    if (w == "true" || w == "false") {
      o.Kind = 3;
      o.Flag = w == "true";
      return true;
    }
    if (w.rfind("flag:", 0) == 0) {
      o.Kind = 3;
      o.Flag = static_cast<uint8_t>(std::strtoul(w.c_str() + 5, nullptr, 10));
      return true;
    }
    if (w.rfind("real:", 0) == 0) {
      auto b = FromHex(w.substr(5));
      if (!b || b->size() != 10) return Fail("real: needs 20 hexadecimal digits");
      o.Kind = 2;
      o.RealBytes = *b;
      return true;
    }
    if (!w.empty() && (std::isdigit(static_cast<unsigned char>(w[0])) || w[0] == '-')) {
      char* end = nullptr;
      long long v = std::strtoll(w.c_str(), &end, 10);
      if (*end || v < INT32_MIN || v > INT32_MAX) return Fail("bad integer " + w);
      o.Kind = 1;
      o.Int = static_cast<int32_t>(v);
      return true;
    }
    P = save;
    o.Kind = 0;
    return Name(o.Str);
  }
};

}  // namespace

const char* OperationName(uint8_t op) { return op <= 20 ? kOpNames[op] : nullptr; }

std::optional<TRawExpr> ParseExprBytes(const std::string& bytes) {
  TKtMemoryStream s(bytes);
  TRawExpr e;
  int32_t count;
  if (!TakeInt(s, count) || count < 0) return std::nullopt;
  for (int32_t i = 0; i < count; ++i) {
    TRawOperation op;
    std::string b;
    int32_t n;
    if (!Take(s, 1, b) || !TakeString(s, op.Dest) || !TakeInt(s, n) || n < 0) return std::nullopt;
    op.Op = static_cast<uint8_t>(b[0]);
    if (op.Op == kOcFunc) {
      if (!Take(s, 1, b)) return std::nullopt;
      op.FuncCode = static_cast<uint8_t>(b[0]);
    }
    for (int32_t k = 0; k < n; ++k) {
      TRawOperand o;
      if (!Take(s, 1, b)) return std::nullopt;
      o.Kind = static_cast<uint8_t>(b[0]);
      bool ok = true;
      switch (o.Kind) {
        case 1: ok = TakeInt(s, o.Int); break;
        case 2: ok = Take(s, 10, o.RealBytes); break;
        case 3: ok = Take(s, 1, b); o.Flag = ok ? static_cast<uint8_t>(b[0]) : 0; break;
        case 4: ok = TakeString(s, o.Str); break;
        case 0: ok = TakeString(s, o.Str); break;
        default: return std::nullopt;  // other kind bytes load as variables and do not survive a rewrite
      }
      if (!ok) return std::nullopt;
      op.Operands.push_back(std::move(o));
    }
    e.Ops.push_back(std::move(op));
  }
  if (s.Remaining() != 0) return std::nullopt;
  return e;
}

std::string ExprBytes(const TRawExpr& e) {
  TKtMemoryStream s;
  s.WriteInt32(static_cast<int32_t>(e.Ops.size()));
  for (const TRawOperation& op : e.Ops) {
    s.WriteByte(op.Op);
    s.WriteString(op.Dest);
    s.WriteInt32(static_cast<int32_t>(op.Operands.size()));
    if (op.Op == kOcFunc) s.WriteByte(op.FuncCode);
    for (const TRawOperand& o : op.Operands) {
      s.WriteByte(o.Kind);
      switch (o.Kind) {
        case 1: s.WriteInt32(o.Int); break;
        case 2: {
          std::string b = o.RealBytes;
          b.resize(10, '\0');
          s.WriteBytes(b);
          break;
        }
        case 3: s.WriteByte(o.Flag); break;
        default: s.WriteString(o.Str); break;
      }
    }
  }
  return s.Data();
}

std::string FormatRawExpr(const TRawExpr& e) {
  std::string out;
  for (size_t i = 0; i < e.Ops.size(); ++i) {
    const TRawOperation& op = e.Ops[i];
    if (i) out += "; ";
    const char* name = OperationName(op.Op);
    out += name ? name : "op" + std::to_string(op.Op);
    out += ' ';
    out += FormatName(op.Dest);
    out += " =";
    bool first = true;
    auto sep = [&]() {
      out += first ? " " : ", ";
      first = false;
    };
    if (op.Op == kOcFunc) {
      sep();
      out += "#" + std::to_string(op.FuncCode);
    }
    for (const TRawOperand& o : op.Operands) {
      sep();
      switch (o.Kind) {
        case 1: out += std::to_string(o.Int); break;
        case 2: out += "real:" + ToHex(o.RealBytes); break;
        case 3: out += o.Flag == 0 ? "false" : o.Flag == 1 ? "true" : "flag:" + std::to_string(o.Flag); break;
        case 4: out += QuoteString(o.Str); break;
        default: out += FormatName(o.Str); break;
      }
    }
  }
  return out;
}

std::optional<TRawExpr> ParseRawExpr(const std::string& text, std::string& error) {
  TCursor c{text, 0, error};
  TRawExpr e;
  c.Skip();
  while (c.P < text.size()) {
    TRawOperation op;
    std::string name = c.Word();
    bool known = false;
    for (uint8_t k = 0; k <= 20; ++k)
      if (name == kOpNames[k]) {
        op.Op = k;
        known = true;
      }
    if (!known && name.rfind("op", 0) == 0 && name.size() > 2 && std::isdigit(static_cast<unsigned char>(name[2]))) {
      op.Op = static_cast<uint8_t>(std::strtoul(name.c_str() + 2, nullptr, 10));
      known = true;
    }
    if (!known) {
      c.Fail("unknown operation '" + name + "'");
      return std::nullopt;
    }
    if (!c.Name(op.Dest)) return std::nullopt;
    if (!c.Eat('=')) {
      c.Fail("expected '=' after " + name);
      return std::nullopt;
    }
    bool first = true;
    while (!c.At(';') && (c.Skip(), c.P < text.size())) {
      if (!first && !c.Eat(',')) {
        c.Fail("expected ',' or ';'");
        return std::nullopt;
      }
      c.Skip();
      if (first && op.Op == kOcFunc) {
        if (!c.Eat('#')) {
          c.Fail("ocFunc needs #CODE before its arguments");
          return std::nullopt;
        }
        std::string w = c.Word();
        op.FuncCode = static_cast<uint8_t>(std::strtoul(w.c_str(), nullptr, 10));
        first = false;
        continue;
      }
      first = false;
      TRawOperand o;
      if (!c.Operand(o)) return std::nullopt;
      op.Operands.push_back(std::move(o));
    }
    c.Eat(';');
    c.Skip();
    e.Ops.push_back(std::move(op));
  }
  return e;
}

}  // namespace nova::source
