#pragma once
// Line breaking of message text (TKtWord::LayoutPages does the layout itself).
#include <cstdint>

namespace nova {

class TWdGlyph;

// Characters that may not start a row: "。、｣」』)）､｡!?！？】".
bool MayNotStartLine(uint16_t code);
// Characters that may not end a row: "｢「『（([<【".
bool MayNotEndLine(uint16_t code);

// Whether a row may break between glyph p and the glyph g after it. Never between two no-break
// glyphs, inside a ruby group, between two single-byte printable characters, before a space that
// follows a non-space, or before a character that may not start a row. Line breaks, alignment and
// indent switches and floating images always allow a break on both sides.
bool BreakAllowed(const TWdGlyph* p, const TWdGlyph* g);

}  // namespace nova
