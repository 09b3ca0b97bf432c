#include "platform/font_substitutes.h"

#include <algorithm>
#include <cstdlib>

#include "base/encoding.h"
#include "base/sjis.h"
#include "base/text_lines.h"

namespace nova {
namespace {

}  // namespace

TFontSubstitutes::TFontSubstitutes() {
  // The P faces are proportional, the others fixed pitch; the IPA fonts share their em box
  // and widths, Noto CJK has the same widths in a taller cell.
  struct TBuiltIn {
    const char* Name;
    const char* First;
    const char* Second;
    const char* Generic;
    bool Fixed;
  };
  static const TBuiltIn kTable[] = {
      {"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP", "monospace", true},
      {"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP", "sans-serif", false},
      {"ＭＳ 明朝", "IPAMincho", "Noto Serif CJK JP", "serif", true},
      {"ＭＳ Ｐ明朝", "IPAPMincho", "Noto Serif CJK JP", "serif", false},
      {"MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP", "monospace", true},
      {"MS PGothic", "IPAPGothic", "Noto Sans CJK JP", "sans-serif", false},
      {"MS Mincho", "IPAMincho", "Noto Serif CJK JP", "serif", true},
      {"MS PMincho", "IPAPMincho", "Noto Serif CJK JP", "serif", false},
      {"MS UI Gothic", "IPAPGothic", "Noto Sans CJK JP", "sans-serif", false},
  };
  for (const TBuiltIn& b : kTable)
    entries_.push_back(TFontSubstitute{Utf8ToSjis(b.Name), {b.First, b.Second}, b.Generic, b.Fixed, true});
}

const TFontSubstitute* TFontSubstitutes::Find(const std::string& windowsName) const {
  for (const TFontSubstitute& e : entries_)
    if (SameText(e.WindowsName, windowsName)) return &e;
  return nullptr;
}

std::vector<std::string> TFontSubstitutes::ApplyConfig(const std::string& utf8Text) {
  std::vector<std::string> problems;
  size_t start = 0;
  for (int lineNo = 1; start <= utf8Text.size(); ++lineNo) {
    size_t end = utf8Text.find('\n', start);
    if (end == std::string::npos) end = utf8Text.size();
    std::string line = TrimBlanks(utf8Text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    auto problem = [&](const std::string& what) {
      problems.push_back("line " + std::to_string(lineNo) + ": " + what);
    };
    size_t eq = line.find('=');
    std::string face = eq == std::string::npos ? std::string() : TrimBlanks(line.substr(0, eq));
    if (face.empty()) {
      problem("expected 'Windows face = family[, family ...]'");
      continue;
    }
    std::vector<std::string> families;
    std::string rest = line.substr(eq + 1);
    for (size_t p = 0; p <= rest.size();) {
      size_t comma = rest.find(',', p);
      if (comma == std::string::npos) comma = rest.size();
      std::string family = TrimBlanks(rest.substr(p, comma - p));
      if (!family.empty()) families.push_back(family);
      p = comma + 1;
    }
    if (families.empty()) {
      problem("no family for " + face);
      continue;
    }
    std::string sjis;
    if (!TryUtf8ToSjis(face, sjis)) {
      problem(face + " cannot be a face name (not Shift-JIS)");
      continue;
    }
    auto known = std::find_if(entries_.begin(), entries_.end(),
                              [&](const TFontSubstitute& e) { return SameText(e.WindowsName, sjis); });
    if (known != entries_.end()) {
      known->Families = families;
    } else {
      entries_.push_back(TFontSubstitute{sjis, families, {}, false, false});
    }
  }
  return problems;
}

std::filesystem::path UserFontConfigPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config == '/') return std::filesystem::path(config) / "novaplayer" / "fonts.conf";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::filesystem::path(home) / ".config" / "novaplayer" / "fonts.conf";
  return {};
}

}  // namespace nova
