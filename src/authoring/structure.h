#pragma once
// Indices that follow from the block structure of a page: the end of a While, the While a
// WhileLoop returns to, the targets of Break and Continue.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace nova::source {

struct TCodeIndent {
  int Code;
  int32_t Indent;
};

// For every command the value its structural index field takes (0 for commands without one).
// While at indent d: its body is the following commands indented deeper; a WhileLoop at indent
// d right after the body closes the loop and the end is the command after it (without one the
// end is the first command after the body). WhileLoop: the While it closes. Break: the end of
// the innermost loop around it; Continue: its WhileLoop (or the While itself); -1 (leave the
// page) outside any loop.
std::vector<int32_t> ComputeStructuralTargets(const std::vector<TCodeIndent>& cmds);

// Whether a command code's Int32 field named `field` is computed from the structure.
bool IsStructuralField(int code, const std::string& field);

}  // namespace nova::source
