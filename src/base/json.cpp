#include "base/json.h"

#include <cstdio>

#include "base/encoding.h"

namespace nova {

bool AppendCommonEscape(std::string& out, unsigned char c) {
  switch (c) {
    case '"': out += "\\\""; return true;
    case '\\': out += "\\\\"; return true;
    case '\n': out += "\\n"; return true;
    case '\r': out += "\\r"; return true;
    case '\t': out += "\\t"; return true;
    default: return false;
  }
}

std::string JsonUtf8String(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (AppendCommonEscape(out, c)) continue;
    if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string JsonString(const std::string& sjis) { return JsonUtf8String(SjisToUtf8(sjis)); }

}  // namespace nova
