#include "platform/sfnt_names.h"

#include <algorithm>

#include "base/encoding.h"

namespace nova {
namespace {

// Big-endian fields of a byte range; reads outside the range give 0 (a damaged file then just
// yields no names).
struct TBytes {
  std::string_view b;
  bool Has(size_t at, size_t n) const { return at <= b.size() && n <= b.size() - at; }
  uint32_t U16(size_t at) const {
    if (!Has(at, 2)) return 0;
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]));
  }
  uint32_t U32(size_t at) const { return U16(at) << 16 | U16(at + 2); }
};

constexpr uint32_t Tag(const char (&t)[5]) {
  return static_cast<uint32_t>(t[0]) << 24 | static_cast<uint32_t>(t[1]) << 16 | static_cast<uint32_t>(t[2]) << 8 |
         static_cast<uint32_t>(t[3]);
}

bool IsFontSignature(uint32_t v) { return v == 0x00010000 || v == Tag("true") || v == Tag("OTTO"); }

// Offset of face `index`'s table directory, or npos.
size_t FaceOffset(const TBytes& f, int index) {
  uint32_t sig = f.U32(0);
  if (IsFontSignature(sig)) return index == 0 ? 0 : std::string_view::npos;
  if (sig != Tag("ttcf")) return std::string_view::npos;
  uint32_t count = f.U32(8);
  if (index < 0 || static_cast<uint32_t>(index) >= count || !f.Has(12 + 4 * size_t(index), 4))
    return std::string_view::npos;
  size_t at = f.U32(12 + 4 * size_t(index));
  return IsFontSignature(f.U32(at)) ? at : std::string_view::npos;
}

// The table with `tag` of the face at `face`: its offset and length (0, 0 when absent).
std::pair<size_t, size_t> FindTable(const TBytes& f, size_t face, uint32_t tag) {
  uint32_t tables = f.U16(face + 4);
  for (uint32_t i = 0; i < tables; ++i) {
    size_t rec = face + 12 + 16 * size_t{i};
    if (!f.Has(rec, 16)) break;
    if (f.U32(rec) != tag) continue;
    size_t at = f.U32(rec + 8), len = f.U32(rec + 12);
    if (!f.Has(at, len)) return {0, 0};
    return {at, len};
  }
  return {0, 0};
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// A UTF-16BE name in Shift-JIS; false when some character has no Shift-JIS form.
bool Utf16NameToSjis(std::string_view s, std::string& out) {
  std::string utf8;
  TBytes b{s};
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    uint32_t u = b.U16(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < s.size()) {
      uint32_t lo = b.U16(i + 2);
      if (lo >= 0xDC00 && lo < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(utf8, u);
  }
  return TryUtf8ToSjis(utf8, out);
}

// A name record's text in Shift-JIS, or empty when its encoding is not one we read.
std::string NameText(uint32_t platform, uint32_t encoding, std::string_view raw) {
  std::string out;
  if (platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10))) {
    if (!Utf16NameToSjis(raw, out)) out.clear();
  } else if (platform == 3 && encoding == 2) {
    // Shift-JIS in 16-bit units: single-byte characters carry a zero high byte.
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
      if (raw[i] != 0) out += raw[i];
      out += raw[i + 1];
    }
  } else if (platform == 1 && encoding == 1) {
    out.assign(raw);  // Macintosh Japanese is Shift-JIS
  } else if (platform == 1 && encoding == 0) {
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) out.assign(raw);
  }
  return out;
}

}  // namespace

int SfntFaceCount(std::string_view bytes) {
  TBytes f{bytes};
  uint32_t sig = f.U32(0);
  if (IsFontSignature(sig)) return 1;
  if (sig != Tag("ttcf")) return 0;
  uint32_t count = f.U32(8);
  if (count > 0x10000 || !f.Has(12, 4 * size_t{count})) return 0;
  return static_cast<int>(count);
}

bool ReadSfntFaceInfo(std::string_view bytes, int index, TSfntFaceInfo& info) {
  info = TSfntFaceInfo{};
  TBytes f{bytes};
  size_t face = FaceOffset(f, index);
  if (face == std::string_view::npos) return false;

  auto [name, nameLen] = FindTable(f, face, Tag("name"));
  if (nameLen >= 6) {
    TBytes n{bytes.substr(name, nameLen)};
    uint32_t count = n.U16(2), storage = n.U16(4);
    for (uint32_t i = 0; i < count; ++i) {
      size_t rec = 6 + 12 * size_t{i};
      if (!n.Has(rec, 12)) break;
      uint32_t id = n.U16(rec + 6);
      if (id != 1 && id != 16) continue;
      size_t len = n.U16(rec + 8), at = storage + size_t{n.U16(rec + 10)};
      if (!n.Has(at, len)) continue;
      std::string text = NameText(n.U16(rec), n.U16(rec + 2), n.b.substr(at, len));
      if (!text.empty() && std::find(info.Families.begin(), info.Families.end(), text) == info.Families.end())
        info.Families.push_back(text);
    }
  }
  auto [post, postLen] = FindTable(f, face, Tag("post"));
  if (postLen >= 16) info.FixedPitch = f.U32(post + 12) != 0;
  auto [os2, os2Len] = FindTable(f, face, Tag("OS/2"));
  // Code page bit 17 is JIS/Japan; without code pages (version 0), the Hiragana range bit.
  if (os2Len >= 82 && f.U16(os2) >= 1) {
    info.Japanese = (f.U32(os2 + 78) >> 17 & 1) != 0;
  } else if (os2Len >= 50) {
    info.Japanese = (f.U32(os2 + 46) >> 17 & 1) != 0;
  }
  return true;
}

}  // namespace nova
