#pragma once
// Text that comes from the network in EUC-JP, as the game's Shift-JIS.
#include <string>
#include <string_view>

namespace nova {

// Bytes below 0x80 and the bytes 0x80 and 0xFF stay; 0x8E b (half-width kana) gives b; any
// other pair (b1, b2) is the JIS X 0208 character (b1 & 0x7F, b2 & 0x7F) in Shift-JIS (a pair
// outside the JIS rows gives nothing, as does a lead byte without its partner at the end).
std::string EucToSjis(std::string_view euc);

// The lines of a text (ended by CR LF, CR or LF; a line end at the very end adds no empty
// line) joined with the byte 0x01 between lines.
std::string JoinLinesWithSoh(std::string_view text);

}  // namespace nova
