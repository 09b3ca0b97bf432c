#include "authoring/text_codec.h"

#include "base/json.h"

#include "base/encoding.h"
#include "base/sjis.h"

namespace nova::source {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char b) {
  out += "\\x";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

}  // namespace

std::optional<std::string> ExactUtf8(std::string_view sjis) {
  std::string utf8, back;
  if (!TrySjisToUtf8(sjis, utf8) || !TryUtf8ToSjis(utf8, back) || back != sjis) return std::nullopt;
  return utf8;
}

std::optional<std::string> ExactSjis(std::string_view utf8) {
  std::string sjis;
  if (!TryUtf8ToSjis(utf8, sjis)) return std::nullopt;
  return sjis;
}

std::optional<std::string> DecodeString(std::string_view body, std::string& error) {
  std::string out, run;
  auto flush = [&]() {
    if (run.empty()) return true;
    auto s = ExactSjis(run);
    if (!s) {
      error = "text has no Shift-JIS form: " + run;
      return false;
    }
    out += *s;
    run.clear();
    return true;
  };
  for (size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c != '\\') {
      run += c;
      continue;
    }
    if (!flush()) return std::nullopt;
    if (i + 1 >= body.size()) {
      error = "a backslash ends the string";
      return std::nullopt;
    }
    char e = body[++i];
    switch (e) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        int h = i + 2 < body.size() ? HexDigit(body[i + 1]) : -1;
        int l = i + 2 < body.size() ? HexDigit(body[i + 2]) : -1;
        if (h < 0 || l < 0) {
          error = "\\x needs two hexadecimal digits";
          return std::nullopt;
        }
        out += static_cast<char>(h * 16 + l);
        i += 2;
        break;
      }
      default:
        error = std::string("unknown escape \\") + e;
        return std::nullopt;
    }
  }
  if (!flush()) return std::nullopt;
  return out;
}

std::string QuoteString(std::string_view sjis) {
  std::string out = "\"";
  for (size_t i = 0; i < sjis.size();) {
    unsigned char c = static_cast<unsigned char>(sjis[i]);
    size_t len = CharLen(sjis, i);
    if (len == 1 && c < 0x80) {
      if (AppendCommonEscape(out, c)) {
        // \" \\ \n \r \t
      } else if (c < 0x20 || c == 0x7F) {
        AppendHexByte(out, c);
      } else {
        out += static_cast<char>(c);
      }
    } else if (auto u = ExactUtf8(sjis.substr(i, len))) {
      out += *u;
    } else {
      for (size_t k = 0; k < len; ++k) AppendHexByte(out, static_cast<unsigned char>(sjis[i + k]));
    }
    i += len;
  }
  out += '"';
  return out;
}

std::string ToHex(std::string_view bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int h = HexDigit(hex[i]), l = HexDigit(hex[i + 1]);
    if (h < 0 || l < 0) return std::nullopt;
    out += static_cast<char>(h * 16 + l);
  }
  return out;
}

}  // namespace nova::source
