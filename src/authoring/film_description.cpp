#include "authoring/film_description.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"

namespace nova {
namespace {

constexpr int kNameColumn = 24;

// ---- Writing ----------------------------------------------------------------------------------

// A Shift-JIS string as a quoted UTF-8 literal. A character is written as UTF-8 only when it
// converts back to the very same bytes; anything else (a lone lead byte, a code with two
// spellings) is written byte by byte as \xNN, so every string survives the round trip.
std::string QuoteSjis(const std::string& s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (c == '\n' || c == '\r' || c == '\t') {
      out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
      ++i;
      continue;
    }
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    size_t len = CharLen(s, i);
    std::string one = s.substr(i, len), utf8, back;
    if (c >= 0x80 && TrySjisToUtf8(one, utf8) && TryUtf8ToSjis(utf8, back) && back == one) {
      out += utf8;
    } else {
      for (char b : one) out += Format("\\x%02X", static_cast<unsigned char>(b));
    }
    i += len;
  }
  return out + "\"";
}

std::string FilmRealText(double d) {
  if (!std::isfinite(d)) return Format("bits:0x%016llX", static_cast<unsigned long long>(std::bit_cast<uint64_t>(d)));
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, d);  // shortest form that reads back exactly
  return std::string(buffer, r.ptr);
}

std::string IntText(int32_t v, bool colour) {
  if (colour && v != -1) return Format("0x%06X", static_cast<uint32_t>(v));
  return std::to_string(v);
}

std::string ValueText(const TFilmField& f) {
  return std::visit(
      [&](auto* v) -> std::string {
        using T = std::remove_pointer_t<decltype(v)>;
        if constexpr (std::is_same_v<T, uint8_t>) return std::to_string(*v);
        else if constexpr (std::is_same_v<T, int32_t>) return IntText(*v, f.Colour);
        else if constexpr (std::is_same_v<T, double>) return FilmRealText(*v);
        else if constexpr (std::is_same_v<T, std::string>) return QuoteSjis(*v);
        else return std::to_string(v->X) + " " + std::to_string(v->Y);
      },
      f.Value);
}

void WriteField(std::string& out, const TFilmField& f, const char* indent) {
  std::string line = std::string(indent) + f.Name;
  if (line.size() < kNameColumn) line.resize(kNameColumn, ' ');
  else line += ' ';
  out += line + ValueText(f) + "\n";
}

// ---- Reading ----------------------------------------------------------------------------------

struct TToken {
  bool Quoted = false;
  std::string Text;  // quoted: the Shift-JIS bytes of the string
};

class TDescriptionParser {
public:
  TDescriptionParser(const std::string& name) : name_(name) {}

  [[noreturn]] void Fail(const std::string& what) const {
    RaiseError(name_ + ":" + std::to_string(line_) + ": " + what);
  }

  TFilmFile Parse(const std::string& text) {
    size_t begin = 0;
    while (begin <= text.size()) {
      size_t end = text.find('\n', begin);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(begin, end - begin);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ++line_;
      Statement(Tokenize(line));
      begin = end + 1;
    }
    if (!haveFilm_) {
      line_ = 1;
      Fail("a description starts with \"film NovaMotion|NovaCinema VERSION\"");
    }
    size_t bad = 0;
    std::string problem = FilmTracksProblem(film_, bad);
    if (!problem.empty()) {
      line_ = trackLines_[bad];
      Fail(problem);
    }
    return film_;
  }

private:
  std::vector<TToken> Tokenize(const std::string& line) {
    std::vector<TToken> tokens;
    size_t i = 0;
    while (i < line.size()) {
      char c = line[i];
      if (c == ' ' || c == '\t') {
        ++i;
      } else if (c == '#') {
        break;
      } else if (c == '"') {
        tokens.push_back(TToken{true, QuotedString(line, i)});
      } else {
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '"') ++i;
        tokens.push_back(TToken{false, line.substr(start, i - start)});
      }
    }
    return tokens;
  }

  // The string starting at the quote at i; i moves past the closing quote.
  std::string QuotedString(const std::string& line, size_t& i) {
    std::string out, run;  // run: UTF-8 text not yet converted
    auto flush = [&]() {
      std::string sjis;
      if (!TryUtf8ToSjis(run, sjis)) Fail("the string holds text that Shift-JIS cannot hold (write such bytes as \\xNN)");
      out += sjis;
      run.clear();
    };
    for (++i; i < line.size(); ++i) {
      char c = line[i];
      if (c == '"') {
        ++i;
        flush();
        return out;
      }
      if (c != '\\') {
        run += c;
        continue;
      }
      if (++i >= line.size()) break;
      switch (line[i]) {
        case '\\': run += '\\'; break;
        case '"': run += '"'; break;
        case 'n': run += '\n'; break;
        case 'r': run += '\r'; break;
        case 't': run += '\t'; break;
        case 'x': {
          unsigned value = 0;
          if (i + 2 >= line.size() ||
              std::from_chars(line.data() + i + 1, line.data() + i + 3, value, 16).ptr != line.data() + i + 3)
            Fail("\\x takes two hexadecimal digits");
          flush();
          out += static_cast<char>(value);
          i += 2;
          break;
        }
        default:
          Fail(std::string("unknown escape \\") + line[i]);
      }
    }
    Fail("the string has no closing quote");
  }

  int64_t Integer(const TToken& t, const std::string& field, int64_t low, int64_t high) {
    std::string s = t.Text;
    bool negative = !s.empty() && s[0] == '-';
    size_t p = negative || (!s.empty() && s[0] == '+') ? 1 : 0;
    int base = 10;
    if (s.size() > p + 1 && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
      base = 16;
      p += 2;
    }
    uint64_t magnitude = 0;
    auto r = std::from_chars(s.data() + p, s.data() + s.size(), magnitude, base);
    if (t.Quoted || p >= s.size() || r.ec != std::errc() || r.ptr != s.data() + s.size() || magnitude > (1ull << 40))
      Fail(field + " takes a whole number, not '" + t.Text + "'");
    int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (v < low || v > high)
      Fail(field + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) + ", not " + t.Text);
    return v;
  }

  int32_t Int32(const TToken& t, const std::string& field, bool colour) {
    // Colours may be written as unsigned 32-bit values (0xFFFFFFFF is -1).
    int64_t v = Integer(t, field, INT32_MIN, colour ? int64_t{UINT32_MAX} : int64_t{INT32_MAX});
    return static_cast<int32_t>(static_cast<uint32_t>(v));
  }

  double Real(const TToken& t, const std::string& field) {
    const std::string& s = t.Text;
    if (!t.Quoted && s.rfind("bits:0x", 0) == 0 && s.size() > 7) {
      uint64_t bits = 0;
      auto r = std::from_chars(s.data() + 7, s.data() + s.size(), bits, 16);
      if (r.ec == std::errc() && r.ptr == s.data() + s.size()) return std::bit_cast<double>(bits);
    }
    double d = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    if (t.Quoted || s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size())
      Fail(field + " takes a real number, not '" + s + "'");
    return d;
  }

  void SetField(const TFilmField& f, const std::vector<TToken>& tokens) {
    const std::string field = f.Name;
    size_t want = std::holds_alternative<TPoint*>(f.Value) ? 2 : 1;
    if (tokens.size() != want + 1)
      Fail(field + " takes " + std::to_string(want) + (want == 1 ? " value" : " values"));
    const TToken& a = tokens[1];
    std::visit(
        [&](auto* v) {
          using T = std::remove_pointer_t<decltype(v)>;
          if constexpr (std::is_same_v<T, uint8_t>) *v = static_cast<uint8_t>(Integer(a, field, 0, 255));
          else if constexpr (std::is_same_v<T, int32_t>) *v = Int32(a, field, f.Colour);
          else if constexpr (std::is_same_v<T, double>) *v = Real(a, field);
          else if constexpr (std::is_same_v<T, std::string>) {
            if (!a.Quoted) Fail(field + " takes a string in double quotes");
            *v = a.Text;
          } else {
            v->X = Int32(a, field, false);
            v->Y = Int32(tokens[2], field, false);
          }
        },
        f.Value);
  }

  static bool Holds(const std::vector<TFilmField>& fields, const std::string& name) {
    for (const TFilmField& f : fields)
      if (name == f.Name) return true;
    return false;
  }

  void FilmLine(const std::vector<TToken>& tokens) {
    if (haveFilm_) Fail("a second film line");
    if (tokens.size() != 3) Fail("the film line is \"film NovaMotion|NovaCinema VERSION\"");
    if (tokens[1].Quoted || (tokens[1].Text != "NovaMotion" && tokens[1].Text != "NovaCinema"))
      Fail("the signature is NovaMotion or NovaCinema, not '" + tokens[1].Text + "'");
    film_.Signature = tokens[1].Text;
    film_.Version = static_cast<int>(Integer(tokens[2], "the version", kFilmOldestVersion, kFilmNewestVersion));
    haveFilm_ = true;
  }

  void TrackLine(const std::vector<TToken>& tokens) {
    if (tokens.size() < 2 || tokens.size() > 3) Fail("a track line is \"track TYPE [TYPE_BYTE]\"");
    int type = -1;
    for (int k = 0; k < kFilmTrackTypeCount; ++k)
      if (!tokens[1].Quoted && tokens[1].Text == FilmTrackTypeName(k)) type = k;
    if (type < 0 && !tokens[1].Text.empty() && std::isdigit(static_cast<unsigned char>(tokens[1].Text[0])))
      type = static_cast<int>(Integer(tokens[1], "the track type", 0, kFilmTrackTypeCount - 1));
    if (type < 0)
      Fail("unknown track type '" + tokens[1].Text + "' (picture, label, box, wipe, sound, tile, particle or fire)");
    TFilmTrack t = NewFilmTrack(type, film_.SceneSize.X, film_.SceneSize.Y);
    if (tokens.size() == 3) {
      int64_t byte = Integer(tokens[2], "the type byte", 0, 255);
      if ((byte & 0x7F) != type) Fail("the type byte " + tokens[2].Text + " is not a " + FilmTrackTypeName(type) + " track");
      t.TypeByte = static_cast<uint8_t>(byte);
    }
    film_.Tracks.push_back(t);
    trackLines_.push_back(line_);
    seen_.clear();
  }

  void Statement(const std::vector<TToken>& tokens) {
    if (tokens.empty()) return;
    if (tokens[0].Quoted) Fail("a line starts with a field name, not a string");
    const std::string& word = tokens[0].Text;
    if (word == "film") return FilmLine(tokens);
    if (!haveFilm_) Fail("a description starts with \"film NovaMotion|NovaCinema VERSION\"");
    if (word == "track") return TrackLine(tokens);
    if (!seen_.insert(word).second) Fail(word + " is given twice");
    std::string version = std::to_string(film_.Version);
    if (film_.Tracks.empty()) {
      std::vector<TFilmField> fields = FilmHeaderFields(film_);
      for (const TFilmField& f : fields)
        if (word == f.Name) return SetField(f, tokens);
      TFilmFile newest;
      if (Holds(FilmHeaderFields(newest), word)) Fail("version " + version + " films have no " + word);
      Fail("unknown header field '" + word + "'");
    }
    TFilmTrack& t = film_.Tracks.back();
    for (const TFilmField& f : FilmTrackFields(t, film_.Version))
      if (word == f.Name) return SetField(f, tokens);
    std::string type = FilmTrackTypeName(t.Type());
    TFilmFile newest;
    if (Holds(FilmHeaderFields(newest), word)) Fail("the header field " + word + " comes before the first track");
    if (Holds(FilmTrackFields(t, kFilmNewestVersion), word))
      Fail("a " + type + " track of version " + version + " has no " + word);
    Fail("a " + type + " track has no field '" + word + "'");
  }

  std::string name_;
  int line_ = 0;
  bool haveFilm_ = false;
  TFilmFile film_;
  std::vector<int> trackLines_;
  std::set<std::string> seen_;
};

}  // namespace

std::string DescribeFilm(const TFilmFile& film) {
  TFilmFile copy = film;
  std::string out = "film " + copy.Signature + " " + std::to_string(copy.Version) + "\n";
  for (const TFilmField& f : FilmHeaderFields(copy)) WriteField(out, f, "");
  for (size_t i = 0; i < copy.Tracks.size(); ++i) {
    TFilmTrack& t = copy.Tracks[i];
    const char* type = FilmTrackTypeName(t.Type());
    if (!*type) RaiseError("film: track " + std::to_string(i) + " has an unknown type " + std::to_string(t.Type()));
    out += Format("\ntrack %s 0x%02X  # %zu\n", type, t.TypeByte, i);
    for (const TFilmField& f : FilmTrackFields(t, copy.Version)) WriteField(out, f, "  ");
  }
  return out;
}

TFilmFile ParseFilmDescription(const std::string& text, const std::string& name) {
  return TDescriptionParser(name).Parse(text);
}

}  // namespace nova
