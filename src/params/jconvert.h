#pragma once
// Double-byte aware string operations: positions and counts are in characters (a Shift-JIS
// lead byte and its trail byte count once), and the half-width / full-width conversions
// between JIS X 0201 (ASCII and katakana) and JIS X 0208.
#include <cstdint>
#include <string>
#include <string_view>

namespace nova {

// Byte offset reached after stepping `chars` characters from byte offset `from` (clamped).
size_t AdvanceChars(std::string_view s, size_t from, int64_t chars);

// Positions are 1-based like the scenario functions that use them.
std::string JCopy(std::string_view s, int32_t from, int32_t count);  // count < 0: nothing
std::string JCopyToEnd(std::string_view s, int32_t from);
void JDelete(std::string& s, int32_t pos, int32_t count);  // pos < 1 counts as 1
void JDeleteToEnd(std::string& s, int32_t pos);
void JInsert(const std::string& src, std::string& s, int32_t pos);  // clamped to 1 .. end + 1
int32_t JPos(std::string_view sub, std::string_view s);  // matches start on characters only
// Blanks (bytes 0x00-0x20) and full-width blanks (0x81 0x40) at both ends.
std::string JTrim(std::string_view s);
// Drops a final lead byte whose trail byte is missing.
std::string FixStr(std::string_view s);

// Byte-wise counterparts with the runtime's clamping rules.
std::string ByteCopy(std::string_view s, int32_t from, int32_t count);
void ByteDelete(std::string& s, int32_t pos, int32_t count);
void ByteInsert(const std::string& src, std::string& s, int32_t pos);
int32_t BytePos(std::string_view sub, std::string_view s);

// Half-width to full-width: printable ASCII and half-width katakana (a kana followed by the
// voiced or semi-voiced mark becomes the one combined kana); other single bytes are dropped.
std::string HanToZen(std::string_view s);
// The inverse; double-byte characters without a half-width form are kept.
std::string ZenToHan(std::string_view s);

}  // namespace nova
