#pragma once
// CP932 <-> UTF-8 at the edges of the system (file names on disk, terminal, logs, tools).
#include <string>
#include <string_view>

namespace nova {

// Bytes that do not decode are replaced by U+FFFD (never throws).
std::string SjisToUtf8(std::string_view sjis);
// Characters that CP932 cannot hold become "?" (never throws).
std::string Utf8ToSjis(std::string_view utf8);
// Strict forms: false when some byte or character does not convert.
bool TrySjisToUtf8(std::string_view sjis, std::string& out);
bool TryUtf8ToSjis(std::string_view utf8, std::string& out);

// Code points of a UTF-8 text; malformed bytes give U+FFFD.
std::u32string DecodeUtf8(const std::string& utf8);

}  // namespace nova
