#include "params/jconvert.h"

#include <unordered_map>

#include "base/sjis.h"

namespace nova {

size_t AdvanceChars(std::string_view s, size_t from, int64_t chars) {
  size_t i = from < s.size() ? from : s.size();
  while (chars > 0 && i < s.size()) {
    i += CharLen(s, i);
    --chars;
  }
  return i;
}

std::string JCopy(std::string_view s, int32_t from, int32_t count) {
  if (count <= 0) return std::string();
  size_t b = AdvanceChars(s, 0, from < 1 ? 0 : int64_t{from} - 1);
  size_t e = AdvanceChars(s, b, count);
  return std::string(s.substr(b, e - b));
}

std::string JCopyToEnd(std::string_view s, int32_t from) {
  size_t b = AdvanceChars(s, 0, from < 1 ? 0 : int64_t{from} - 1);
  return std::string(s.substr(b));
}

void JDelete(std::string& s, int32_t pos, int32_t count) {
  if (count <= 0) return;
  size_t b = AdvanceChars(s, 0, pos < 1 ? 0 : int64_t{pos} - 1);
  if (b >= s.size()) return;
  size_t e = AdvanceChars(s, b, count);
  s.erase(b, e - b);
}

void JDeleteToEnd(std::string& s, int32_t pos) {
  size_t b = AdvanceChars(s, 0, pos < 1 ? 0 : int64_t{pos} - 1);
  if (b < s.size()) s.erase(b);
}

void JInsert(const std::string& src, std::string& s, int32_t pos) {
  size_t b = AdvanceChars(s, 0, pos < 1 ? 0 : int64_t{pos} - 1);
  s.insert(b, src);
}

int32_t JPos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int32_t n = 1;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i), ++n)
    if (s.compare(i, sub.size(), sub) == 0 && i + sub.size() <= s.size()) return n;
  return 0;
}

std::string JTrim(std::string_view s) {
  size_t b = 0;
  for (;;) {
    if (b < s.size() && static_cast<unsigned char>(s[b]) <= 0x20) {
      ++b;
    } else if (b + 1 < s.size() && s[b] == '\x81' && s[b + 1] == '\x40') {
      b += 2;
    } else {
      break;
    }
  }
  // Trailing characters: walk forward so that a trail byte 0x40 is told from a lone blank.
  size_t end = b, i = b;
  while (i < s.size()) {
    size_t len = CharLen(s, i);
    bool blank = (len == 1 && static_cast<unsigned char>(s[i]) <= 0x20) ||
                 (len == 2 && s[i] == '\x81' && s[i + 1] == '\x40');
    i += len;
    if (!blank) end = i;
  }
  return std::string(s.substr(b, end - b));
}

std::string FixStr(std::string_view s) {
  size_t i = 0, last = 0;
  while (i < s.size()) {
    last = i;
    i += CharLen(s, i);
  }
  if (!s.empty() && CharLen(s, last) == 1 && IsLeadByte(static_cast<unsigned char>(s[last])))
    return std::string(s.substr(0, last));
  return std::string(s);
}

std::string ByteCopy(std::string_view s, int32_t from, int32_t count) {
  int64_t start = from < 1 ? 0 : int64_t{from} - 1;
  if (count <= 0 || start >= static_cast<int64_t>(s.size())) return std::string();
  return std::string(s.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

void ByteDelete(std::string& s, int32_t pos, int32_t count) {
  if (pos < 1 || pos > static_cast<int64_t>(s.size()) || count <= 0) return;
  s.erase(static_cast<size_t>(pos - 1), static_cast<size_t>(count));
}

void ByteInsert(const std::string& src, std::string& s, int32_t pos) {
  int64_t at = pos < 1 ? 0 : int64_t{pos} - 1;
  if (at > static_cast<int64_t>(s.size())) at = static_cast<int64_t>(s.size());
  s.insert(static_cast<size_t>(at), src);
}

int32_t BytePos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int32_t>(p + 1);
}

namespace {

// Full-width forms of 0x20 .. 0x7E (JIS X 0201 Roman: 0x5C is the yen sign, 0x7E the overline).
constexpr uint16_t kAsciiZen[95] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816a, 0x8196, 0x817b,
    0x8143, 0x817c, 0x8144, 0x815e, 0x824f, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826a, 0x826b, 0x826c, 0x826d, 0x826e,
    0x826f, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816d,
    0x818f, 0x816e, 0x814f, 0x8151, 0x8165, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828a, 0x828b, 0x828c, 0x828d, 0x828e, 0x828f, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829a, 0x816f, 0x8162, 0x8170, 0x8150,
};

// Full-width forms of the half-width katakana 0xA1 .. 0xDF.
constexpr uint16_t kKanaZen[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383,
    0x8385, 0x8387, 0x8362, 0x815b, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834a, 0x834c, 0x834e,
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835a, 0x835c, 0x835e, 0x8360, 0x8363, 0x8365, 0x8367,
    0x8369, 0x836a, 0x836b, 0x836c, 0x836d, 0x836e, 0x8371, 0x8374, 0x8377, 0x837a, 0x837d, 0x837e,
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838a, 0x838b, 0x838c, 0x838d, 0x838f,
    0x8393, 0x814a, 0x814b,
};

constexpr unsigned char kVoicedMark = 0xDE, kSemiVoicedMark = 0xDF;

// The combined kana of a half-width kana and a mark, or 0 when there is none.
uint16_t Combined(unsigned char kana, unsigned char mark) {
  if (mark == kVoicedMark) {
    if (kana == 0xB3) return 0x8394;  // u + voiced mark: vu
    if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE)) return kKanaZen[kana - 0xA1] + 1;
  } else if (mark == kSemiVoicedMark) {
    if (kana >= 0xCA && kana <= 0xCE) return kKanaZen[kana - 0xA1] + 2;
  }
  return 0;
}

void PutCode(std::string& out, uint16_t code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

const std::unordered_map<uint16_t, std::string>& HanForms() {
  static const std::unordered_map<uint16_t, std::string> forms = [] {
    std::unordered_map<uint16_t, std::string> m;
    for (int c = 0x20; c <= 0x7E; ++c) m[kAsciiZen[c - 0x20]] = std::string(1, static_cast<char>(c));
    m[0x8167] = "\"";  // both full-width double quotes
    for (int c = 0xA1; c <= 0xDF; ++c) m[kKanaZen[c - 0xA1]] = std::string(1, static_cast<char>(c));
    for (int c = 0xA6; c <= 0xDD; ++c)
      for (unsigned char mark : {kVoicedMark, kSemiVoicedMark})
        if (uint16_t z = Combined(static_cast<unsigned char>(c), mark))
          m[z] = std::string{static_cast<char>(c), static_cast<char>(mark)};
    return m;
  }();
  return forms;
}

}  // namespace

std::string HanToZen(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t len = CharLen(s, i);
    if (len == 2) {
      out.append(s.substr(i, 2));
      i += 2;
      continue;
    }
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c <= 0x7E) {
      PutCode(out, kAsciiZen[c - 0x20]);
    } else if (c >= 0xA1 && c <= 0xDF) {
      uint16_t z = i + 1 < s.size() ? Combined(c, static_cast<unsigned char>(s[i + 1])) : 0;
      if (z != 0) {
        PutCode(out, z);
        i += 2;
        continue;
      }
      PutCode(out, kKanaZen[c - 0xA1]);
    }  // any other single byte has no full-width form and is dropped
    ++i;
  }
  return out;
}

std::string ZenToHan(std::string_view s) {
  const auto& forms = HanForms();
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t len = CharLen(s, i);
    if (len == 2) {
      uint16_t code = static_cast<uint16_t>((static_cast<unsigned char>(s[i]) << 8) | static_cast<unsigned char>(s[i + 1]));
      auto it = forms.find(code);
      if (it != forms.end()) {
        out += it->second;
      } else {
        out.append(s.substr(i, 2));
      }
    } else {
      out += s[i];
    }
    i += len;
  }
  return out;
}

}  // namespace nova
