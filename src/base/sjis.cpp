#include "base/sjis.h"

namespace nova {

size_t CharCount(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) ++n;
  return n;
}

size_t CharToByte(std::string_view s, size_t n) {
  size_t i = 0;
  while (n > 0 && i < s.size()) {
    i += CharLen(s, i);
    --n;
  }
  return i < s.size() ? i : s.size();
}

bool IsTrailByteAt(std::string_view s, size_t i) {
  if (i >= s.size()) return false;
  size_t p = 0;
  while (p < i) {
    size_t len = CharLen(s, p);
    if (p + len > i) return true;
    p += len;
  }
  return false;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string LowerCaseAnsi(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t len = CharLen(out, i);
    if (len == 1) out[i] = AsciiLower(out[i]);
    i += len;
  }
  return out;
}

std::string UpperCaseAnsi(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t len = CharLen(out, i);
    if (len == 1) out[i] = AsciiUpper(out[i]);
    i += len;
  }
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  // Walk both strings by character so that a trail byte is never folded.
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    size_t la = CharLen(a, i), lb = CharLen(b, j);
    unsigned char ca = static_cast<unsigned char>(la == 1 ? AsciiLower(a[i]) : a[i]);
    unsigned char cb = static_cast<unsigned char>(lb == 1 ? AsciiLower(b[j]) : b[j]);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (la == 2 && lb == 2) {
      unsigned char ta = static_cast<unsigned char>(a[i + 1]), tb = static_cast<unsigned char>(b[j + 1]);
      if (ta != tb) return ta < tb ? -1 : 1;
    } else if (la != lb) {
      return la < lb ? -1 : 1;
    }
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool StartsWithText(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  // The cut must not split a double-byte character.
  if (prefix.size() < s.size() && IsTrailByteAt(s, prefix.size())) return false;
  return SameText(s.substr(0, prefix.size()), prefix);
}

size_t LastDelimiter(std::string_view s, std::string_view delims) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size();) {
    size_t len = CharLen(s, i);
    if (len == 1 && delims.find(s[i]) != std::string_view::npos) found = i;
    i += len;
  }
  return found;
}

std::string ExtractFilePath(std::string_view path) {
  size_t p = LastDelimiter(path, "\\:");
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t p = LastDelimiter(path, "\\:");
  return p == std::string_view::npos ? std::string(path) : std::string(path.substr(p + 1));
}

std::string ExtractFileExt(std::string_view path) {
  size_t p = LastDelimiter(path, ".\\:");
  if (p == std::string_view::npos || path[p] != '.') return std::string();
  return std::string(path.substr(p));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t p = LastDelimiter(path, ".\\:");
  if (p == std::string_view::npos || path[p] != '.') return std::string(path) + std::string(ext);
  return std::string(path.substr(0, p)) + std::string(ext);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\' || IsTrailByteAt(out, out.size() - 1)) out += '\\';
  return out;
}

}  // namespace nova
