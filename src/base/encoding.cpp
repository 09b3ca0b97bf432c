#include "base/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace nova {
namespace {

// One converter per direction; iconv descriptors are not thread-safe, so each use is locked.
struct Converter {
  iconv_t cd;
  std::mutex lock;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
};

Converter& ToUtf8() {
  static Converter c("UTF-8", "CP932");
  return c;
}
Converter& ToSjis() {
  static Converter c("CP932", "UTF-8");
  return c;
}

// Converts in, replacing what does not convert with `replacement` (skipping `skip` input bytes).
bool Convert(Converter& conv, std::string_view in, std::string& out, const char* replacement, bool strict) {
  std::lock_guard<std::mutex> guard(conv.lock);
  out.clear();
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) {
    out.assign(in);
    return false;
  }
  iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  bool ok = true;
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(conv.cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;
      if (strict) return false;
      // EILSEQ or EINVAL: drop one input character and put the replacement in its place.
      out += replacement;
      size_t skip = 1;
      if (&conv == &ToUtf8()) {
        unsigned char c = static_cast<unsigned char>(*src);
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && srcLeft >= 2) skip = 2;
      } else {
        unsigned char c = static_cast<unsigned char>(*src);
        if (c >= 0xF0) skip = 4;
        else if (c >= 0xE0) skip = 3;
        else if (c >= 0xC0) skip = 2;
        // Continuation bytes after the lead are skipped together with it.
        if (skip > srcLeft) skip = srcLeft;
      }
      src += skip;
      srcLeft -= skip;
      iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(conv.cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return ok;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  std::string out;
  Convert(ToUtf8(), sjis, out, "\xEF\xBF\xBD", false);
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  std::string out;
  Convert(ToSjis(), utf8, out, "?", false);
  return out;
}

bool TrySjisToUtf8(std::string_view sjis, std::string& out) { return Convert(ToUtf8(), sjis, out, "", true); }
bool TryUtf8ToSjis(std::string_view utf8, std::string& out) { return Convert(ToSjis(), utf8, out, "", true); }

std::u32string DecodeUtf8(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(utf8[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (!ok) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace nova
