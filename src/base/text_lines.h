#pragma once
// Lines of a text: split at CR LF, CR or LF; a final line break adds no empty line.
// Also the trimming of a settings line.
#include <string>
#include <string_view>
#include <vector>

namespace nova {

std::vector<std::string> SplitLines(std::string_view text);

// The text without the blanks, tabs and line ends at its two ends (settings files' lines).
std::string TrimBlanks(std::string_view text);

}  // namespace nova
