#include "app/game_ini.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "archive/disk_names.h"
#include "base/encoding.h"
#include "base/sjis.h"
#include "base/text_lines.h"

namespace nova {
namespace {

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The whole text as an integer: optional sign, then decimal digits or "$" / "0x" and
// hexadecimal digits.
bool ParseInteger(const std::string& s, int32_t& out) {
  bool negative = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16, ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16, i += 2;
  }
  if (i >= s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = DigitValue(s[i], base);
    if (d < 0) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFll) return false;
  }
  // Hexadecimal text may give the full 32-bit pattern; decimal text must fit the range.
  if (base == 10 && v > (negative ? 2147483648ll : 2147483647ll)) return false;
  uint32_t bits = static_cast<uint32_t>(v);
  out = static_cast<int32_t>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace

void TIniFile::Parse(const std::string& text) {
  sections_.clear();
  std::istringstream in(text);
  std::string line;
  std::map<std::string, std::string>* current = nullptr;
  while (std::getline(in, line)) {
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      std::string name = UpperCaseAnsi(TrimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
      current = &sections_[name];
      continue;
    }
    size_t eq = t.find('=');
    if (!current || eq == std::string::npos) continue;
    std::string key = UpperCaseAnsi(TrimBlanks(t.substr(0, eq)));
    std::string value = TrimBlanks(t.substr(eq + 1));
    if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                              (value.front() == '\'' && value.back() == '\''))) {
      value = value.substr(1, value.size() - 2);
    }
    current->emplace(key, value);  // the first occurrence wins
  }
}

bool TIniFile::LoadFromFile(const std::filesystem::path& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  Parse(ss.str());
  return true;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  auto s = sections_.find(UpperCaseAnsi(section));
  if (s == sections_.end()) return def;
  auto k = s->second.find(UpperCaseAnsi(key));
  return k == s->second.end() ? def : k->second;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
  int32_t v = 0;
  return ParseInteger(ReadString(section, key, ""), v) ? v : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

int32_t NormaliseDelayTime(int32_t ms) {
  int32_t v = ms / 100 * 100;
  return v < 100 ? 100 : v > 500 ? 500 : v;
}

TGameSettings ReadGameSettings(const TIniFile& ini) {
  TGameSettings s;
  s.UseDirectSound = ini.ReadBool("Sound", "DirectSound", true);
  s.DelayTime = NormaliseDelayTime(ini.ReadInteger("Sound", "DelayTime", 500));
  s.UseWMP = ini.ReadBool("Video", "UseWMP", false);
  return s;
}

std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value) {
  const std::string eol = text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos ? "\r\n" : "\n";
  // The lines with their ends, so that untouched lines are written back byte for byte.
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  const std::string entry = key + "=" + value;
  auto content = [](const std::string& line) { return TrimBlanks(line); };
  bool inSection = false;
  size_t insertAt = std::string::npos;  // after the section's last entry
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string t = content(lines[i]);
    if (!t.empty() && t[0] == '[') {
      if (inSection) break;  // the first such section only
      const size_t close = t.find(']');
      inSection = SameText(TrimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), section);
      if (inSection) insertAt = i + 1;
      continue;
    }
    if (!inSection || t.empty() || t[0] == ';') continue;
    const size_t eq = t.find('=');
    if (eq != std::string::npos && SameText(TrimBlanks(t.substr(0, eq)), key)) {
      const std::string& line = lines[i];
      const std::string ending = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0 ? "\r\n"
                                 : !line.empty() && line.back() == '\n'                            ? "\n"
                                                                                                    : "";
      lines[i] = entry + ending;
      std::string out;
      for (const std::string& l : lines) out += l;
      return out;
    }
    insertAt = i + 1;
  }
  std::string out;
  if (insertAt == std::string::npos) {
    for (const std::string& l : lines) out += l;
    if (!out.empty() && out.back() != '\n') out += eol;
    return out + "[" + section + "]" + eol + entry + eol;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == insertAt) out += entry + eol;
    out += lines[i];
    if (i + 1 == insertAt && !lines[i].empty() && lines[i].back() != '\n') out += eol;
  }
  if (insertAt >= lines.size()) out += entry + eol;
  return out;
}

std::filesystem::path GameIniFile(const std::filesystem::path& folder) {
  if (std::optional<std::filesystem::path> any = FindGameFile(folder, "game.ini")) return *any;
  return folder / "game.ini";
}

TGameSettings LoadGameSettings(const std::filesystem::path& file) {
  // A game copied from Windows may spell it "GAME.INI".
  std::filesystem::path found = file;
  if (std::optional<std::filesystem::path> any = FindGameFile(file.parent_path(), Utf8ToSjis(file.filename().string())))
    found = *any;
  TIniFile ini;
  if (!ini.LoadFromFile(found)) return TGameSettings{};
  return ReadGameSettings(ini);
}

}  // namespace nova
