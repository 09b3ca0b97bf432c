#pragma once
// One line of a scenario source split into its items: values ({expr}, "string", 12, [list],
// @raw{...}), named values (key=value) and options (@line=3).
#include <cstdint>
#include <string>
#include <vector>

namespace nova::source {

struct TValue {
  enum Kind { Expr, RawExpr, HexExpr, String, RawText, Number, Word, List };
  Kind K = Word;
  std::string Text;   // Expr/RawExpr/HexExpr/Word: the text as written; String/RawText: Shift-JIS bytes
  int64_t Int = 0;
  std::vector<TValue> Items;  // List
};

struct TItem {
  std::string Key;  // empty for a positional value; "@name" for an option
  bool HasValue = true;
  TValue Value;
};

// Raises TSourceError (a message without position) on malformed text.
struct TSourceError {
  std::string Message;
};

std::vector<TItem> SplitItems(const std::string& text);
TValue ParseValue(const std::string& text);  // one whole value

const char* KindName(TValue::Kind k);

}  // namespace nova::source
