#include "authoring/project_source.h"

#include <cstdio>
#include <cstdlib>

#include "base/encoding.h"
#include "authoring/lexer.h"
#include "authoring/page_compiler.h"
#include "authoring/text_codec.h"

namespace nova::source {
namespace {

struct TLineReader {
  const std::string& File;
  int Line;
  const std::vector<TItem>& Items;
  std::string Key;

  [[noreturn]] void Fail(const std::string& m) const { throw TBuildError{File, Line, m}; }
  const TValue& At(size_t i) const {
    if (i >= Items.size() || !Items[i].Key.empty()) Fail(Key + ": value " + std::to_string(i + 1) + " is missing");
    return Items[i].Value;
  }
  void Count(size_t n) const {
    if (Items.size() != n) Fail(Key + " takes " + std::to_string(n) + " value(s)");
  }
  int32_t Int(size_t i) const {
    const TValue& v = At(i);
    if (v.K != TValue::Number || v.Int < INT32_MIN || v.Int > INT32_MAX) Fail(Key + ": a number is expected");
    return static_cast<int32_t>(v.Int);
  }
  std::string Str(size_t i) const {
    const TValue& v = At(i);
    if (v.K != TValue::String) Fail(Key + ": a quoted string is expected");
    return v.Text;
  }
  Real RealValue(size_t i) const {
    const TValue& v = At(i);
    if (v.K == TValue::Number) return static_cast<Real>(v.Int);
    if (v.K == TValue::Word && v.Text.rfind("real:", 0) == 0) {
      auto b = FromHex(v.Text.substr(5));
      if (!b || b->size() != 10) Fail(Key + ": real: needs 20 hexadecimal digits");
      return ExtendedToReal(reinterpret_cast<const uint8_t*>(b->data()));
    }
    char* end = nullptr;
    Real r = std::strtold(v.Text.c_str(), &end);
    if (v.K != TValue::Word || *end) Fail(Key + ": a real number is expected");
    return r;
  }
};

std::string RealSource(Real v) {
  uint8_t b[10];
  RealToExtended(v, b);
  for (int prec = 1; prec <= 21; ++prec) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Lg", prec, v);
    Real back = std::strtold(buf, nullptr);
    uint8_t c[10];
    RealToExtended(back, c);
    if (std::equal(b, b + 10, c)) {
      std::string t = buf;
      if (t.find_first_of(".eEn") == std::string::npos) t += ".0";
      return t;
    }
  }
  return "real:" + ToHex(std::string(reinterpret_cast<const char*>(b), 10));
}

}  // namespace

TProjectFile ParseProjectSource(const std::string& text, const std::string& file) {
  TProjectFile p;
  p.Name = Utf8ToSjis("情報");
  p.DiskPrompt = Utf8ToSjis("ディスク%dを入れてから[OK]をクリックしてください");
  p.QuitText = Utf8ToSjis("終了します");
  int line = 0;
  // Settings that the file version lacks would be dropped silently; they are refused instead.
  std::vector<std::pair<int, int32_t>> needs;  // (line, version the setting needs)
  for (const std::string& l : SourceLines(text)) {
    ++line;
    size_t b = l.find_first_not_of(" \t");
    if (b == std::string::npos || l[b] == '#') continue;
    size_t e = l.find_first_of(" \t", b);
    std::string key = l.substr(b, e == std::string::npos ? std::string::npos : e - b);
    std::vector<TItem> items;
    try {
      if (e != std::string::npos) items = SplitItems(l.substr(e));
    } catch (const TSourceError& err) {
      throw TBuildError{file, line, err.Message};
    }
    TLineReader r{file, line, items, key};
    if (key == "version") {
      r.Count(1);
      p.Version = r.Int(0);
    } else if (key == "name") {
      r.Count(1);
      p.Name = r.Str(0);
    } else if (key == "screen") {
      r.Count(2);
      p.ScreenWidth = r.Int(0);
      p.ScreenHeight = r.Int(1);
    } else if (key == "display") {
      r.Count(2);
      p.DisplayParam1 = r.Int(0);
      p.DisplayParam2 = r.Int(1);
    } else if (key == "start") {
      r.Count(1);
      p.StartPage = r.Str(0);
    } else if (key == "exit") {
      r.Count(1);
      needs.emplace_back(line, 110);
      p.ExitPage = r.Str(0);
    } else if (key == "settings") {
      r.Count(1);
      p.SettingsKey = r.Str(0);
    } else if (key == "imagekey") {
      r.Count(1);
      p.ImageKey = r.Int(0);
    } else if (key == "writestatus") {
      r.Count(1);
      needs.emplace_back(line, 104);
      p.WriteStatus = static_cast<uint8_t>(r.Int(0));
    } else if (key == "sleep") {
      r.Count(1);
      needs.emplace_back(line, 106);
      p.SleepFlag = static_cast<uint8_t>(r.Int(0));
    } else if (key == "media") {
      r.Count(1);
      needs.emplace_back(line, 109);
      p.MediaExtensions = r.Str(0);
    } else if (key == "diskprompt") {
      r.Count(1);
      p.DiskPrompt = r.Str(0);
    } else if (key == "quittext") {
      r.Count(1);
      p.QuitText = r.Str(0);
    } else if (key == "status") {
      TStatusVarDef v;
      const TValue& t = r.At(0);
      if (t.K == TValue::Word && TypeCodeByWord(t.Text)) {
        v.Type = static_cast<uint8_t>(*TypeCodeByWord(t.Text));
      } else if (t.K == TValue::Number && t.Int >= 0 && t.Int <= 255) {
        v.Type = static_cast<uint8_t>(t.Int);
      } else {
        r.Fail("status: the type is int, real, flag, str or a number");
      }
      v.Name = r.Str(1);
      bool hasValue = v.Type >= 1 && v.Type <= 4;
      r.Count(hasValue ? 3 : 2);
      switch (v.Type) {
        case 1: v.IntValue = r.Int(2); break;
        case 2: v.FloatValue = r.RealValue(2); break;
        case 3: v.FlagValue = static_cast<uint8_t>(r.Int(2)); break;
        case 4: v.StrValue = r.Str(2); break;
        default: break;
      }
      p.StatusVars.push_back(std::move(v));
    } else if (key == "disk") {
      r.Count(2);
      p.FolderDisks.emplace_back(r.Str(0), r.Int(1));
    } else {
      r.Fail("unknown project setting '" + key + "'");
    }
  }
  for (const auto& [l, v] : needs)
    if (p.Version < v) throw TBuildError{file, l, "this setting needs project version " + std::to_string(v) + " or later"};
  return p;
}

std::string FormatProjectSource(const TProjectFile& p) {
  std::string o;
  auto line = [&](const std::string& s) { o += s + "\n"; };
  line("version " + std::to_string(p.Version));
  line("name " + QuoteString(p.Name));
  line("screen " + std::to_string(p.ScreenWidth) + " " + std::to_string(p.ScreenHeight));
  line("display " + std::to_string(p.DisplayParam1) + " " + std::to_string(p.DisplayParam2));
  line("start " + QuoteString(p.StartPage));
  if (p.Version >= 110) line("exit " + QuoteString(p.ExitPage));
  line("settings " + QuoteString(p.SettingsKey));
  line("imagekey " + std::to_string(p.ImageKey));
  if (p.Version >= 104) line("writestatus " + std::to_string(p.WriteStatus));
  if (p.Version >= 106) line("sleep " + std::to_string(p.SleepFlag));
  if (p.Version >= 109) line("media " + QuoteString(p.MediaExtensions));
  line("diskprompt " + QuoteString(p.DiskPrompt));
  line("quittext " + QuoteString(p.QuitText));
  for (const TStatusVarDef& v : p.StatusVars) {
    const char* w = TypeWord(v.Type);
    std::string s = "status " + (w ? std::string(w) : std::to_string(v.Type)) + " " + QuoteString(v.Name);
    switch (v.Type) {
      case 1: s += " " + std::to_string(v.IntValue); break;
      case 2: s += " " + RealSource(v.FloatValue); break;
      case 3: s += " " + std::to_string(v.FlagValue); break;
      case 4: s += " " + QuoteString(v.StrValue); break;
      default: break;
    }
    line(s);
  }
  for (const auto& [folder, disk] : p.FolderDisks) line("disk " + QuoteString(folder) + " " + std::to_string(disk));
  return o;
}

}  // namespace nova::source
