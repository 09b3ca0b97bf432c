#pragma once
// Expressions in the scenario's own syntax: compiling source text to stored bytes, and turning
// stored bytes back into text that compiles to the very same bytes (or into the raw form).
#include <optional>
#include <string>

#include "authoring/raw_expr.h"

namespace nova::source {

// Text (Shift-JIS) -> stored bytes with the scenario compiler; raises its errors.
std::string CompileExprText(const std::string& sjisText);
// Text that reads like what an author wrote (Shift-JIS), or nullopt for forms it cannot show.
std::optional<std::string> DecompileExpr(const TRawExpr& e);
// The source form of stored bytes: "{}" (no operations), "{text}" when that text compiles to the
// same bytes, otherwise "@raw{...}".
std::string FormatExprSource(const std::string& bytes);

}  // namespace nova::source
