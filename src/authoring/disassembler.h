#pragma once
// Compiled pages -> scenario source text (UTF-8) that compiles back to the same bytes.
#include <string>

#include "scenario/page_format.h"

namespace nova::source {

// pageName (Shift-JIS) is the page's own game name: targets into it are shown by label.
std::string DisassemblePage(const TPageFile& page, const std::string& pageName);

}  // namespace nova::source
