#pragma once
// JSON string literals for the tools' and the player's JSON output, and the backslash escapes
// they share with the scenario source language's strings.
#include <string>

namespace nova {

// Appends the escape of ", \, LF, CR or TAB and returns true; false for any other byte.
bool AppendCommonEscape(std::string& out, unsigned char c);

// A UTF-8 text as a JSON string literal, quotes included.
std::string JsonUtf8String(const std::string& utf8);
// A Shift-JIS text as a JSON string literal in UTF-8, quotes included.
std::string JsonString(const std::string& sjis);

}  // namespace nova
