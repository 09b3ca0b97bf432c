#pragma once
// Byte strings (Shift-JIS) as they appear in scenario sources (UTF-8): quoted strings with
// escapes, so that any byte sequence survives a disassembly and a rebuild.
#include <optional>
#include <string>
#include <string_view>

namespace nova::source {

// The body of a quoted string (without the quotes) -> Shift-JIS bytes. Escapes: \" \\ \n
// (LF) \r \t \xHH (one raw byte). Other characters are UTF-8 and must exist in Shift-JIS.
// nullopt with a message when the body cannot be converted.
std::optional<std::string> DecodeString(std::string_view body, std::string& error);
// Shift-JIS bytes -> a quoted string (with the quotes) that DecodeString turns back into them.
std::string QuoteString(std::string_view sjis);

// The UTF-8 form of Shift-JIS text when every character converts both ways unchanged.
std::optional<std::string> ExactUtf8(std::string_view sjis);
// Strict UTF-8 -> Shift-JIS; nullopt when some character has no Shift-JIS form.
std::optional<std::string> ExactSjis(std::string_view utf8);

std::string ToHex(std::string_view bytes);
std::optional<std::string> FromHex(std::string_view hex);

}  // namespace nova::source
