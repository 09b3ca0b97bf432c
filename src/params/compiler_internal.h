#pragma once
// Message texts and scanning helpers shared by the expression compiler's parts.
#include <string>
#include <string_view>

namespace nova::compiler {

const std::string& SyntaxError();          // 構文エラー
const std::string& BadArraySubscript();    // 配列の添え字が不正です
std::string UnknownFunction(const std::string& name);  // "name" 関数名がありません
std::string BadArgCount(const std::string& name);      // name 引数の数が不正です

// Blanks are the bytes 0x00-0x20 (they are never the trail byte of a double-byte character).
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
std::string Trim(std::string_view s);

}  // namespace nova::compiler
