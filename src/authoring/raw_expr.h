#pragma once
// A compiled expression at the level of its stored bytes, for the disassembler and the raw
// operation form of the sources ("@raw{ocPlus ____1 = a, 1; ocTo x = ____1}").
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nova::source {

struct TRawOperand {
  uint8_t Kind = 0;        // 1 integer, 2 real, 3 flag, 4 string, 0 variable
  int32_t Int = 0;
  std::string RealBytes;   // the 10 stored bytes of a real
  uint8_t Flag = 0;
  std::string Str;         // string constant or variable name
};

struct TRawOperation {
  uint8_t Op = 0;
  std::string Dest;
  uint8_t FuncCode = 0;    // ocFunc only
  std::vector<TRawOperand> Operands;
};

struct TRawExpr {
  std::vector<TRawOperation> Ops;
};

// The stored form; Parse returns nullopt unless the bytes are exactly one well-formed expression.
std::optional<TRawExpr> ParseExprBytes(const std::string& bytes);
std::string ExprBytes(const TRawExpr& e);

// The raw operation form (what goes between the braces of @raw{...}).
std::string FormatRawExpr(const TRawExpr& e);
std::optional<TRawExpr> ParseRawExpr(const std::string& text, std::string& error);

const char* OperationName(uint8_t op);  // "ocTo" ..; nullptr for codes above 20

}  // namespace nova::source
