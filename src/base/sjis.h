#pragma once
// Shift-JIS byte strings: every text inside the system is one. A lead byte (0x81-0x9F,
// 0xE0-0xFC) and the byte after it form one character. Case folding touches single-byte
// ASCII letters only, never a trail byte (0x83 0x41 and 0x83 0x61 are different names).
#include <cstddef>
#include <string>
#include <string_view>

namespace nova {

inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes taken by the character that starts at byte i (1, or 2 for a complete double-byte one).
inline size_t CharLen(std::string_view s, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Number of characters (a double-byte character counts once).
size_t CharCount(std::string_view s);
// Byte offset of character number n (0-based); s.size() when past the end.
size_t CharToByte(std::string_view s, size_t n);
// True when byte i is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, size_t i);

char AsciiLower(char c);
char AsciiUpper(char c);
std::string LowerCaseAnsi(std::string_view s);  // ASCII letters of single-byte characters only
std::string UpperCaseAnsi(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);  // <0, 0, >0 after folding
bool StartsWithText(std::string_view s, std::string_view prefix);

// Position of the last byte c that is not a trail byte, or npos.
size_t LastDelimiter(std::string_view s, std::string_view delims);

// The file name extension of a game path ("cg\bg.bri" -> ".bri"), empty when there is none.
std::string ExtractFileExt(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // up to and including the last "\" or ":"
std::string ExtractFileName(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingBackslash(std::string_view path);

}  // namespace nova
