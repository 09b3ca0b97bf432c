#pragma once
// Lines of a text: split at CR LF, CR or LF; a final line break adds no empty line.
#include <string>
#include <string_view>
#include <vector>

namespace nova {

std::vector<std::string> SplitLines(std::string_view text);

}  // namespace nova
