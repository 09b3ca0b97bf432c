#pragma once
// TextIns text blocks: the markup of a message compiled into the glyph stream the player reads
// (the glyphs of the text, their attribute records, version 102), and back: markup that
// compiles to exactly the bytes of a given stream, so that `disasm` can print a text block as
// readable markup whenever that reproduces it.
//
// Glyphs outside WAIT tags get a wait of 50 ms, the player's initial @TextDelay; the message
// box's PR_TEXTDELAY scales it when the text is typed.
#include <cstdint>
#include <optional>
#include <string>

namespace nova::source {

constexpr int32_t kTextBlockWait = 50;

// Markup (Shift-JIS) -> glyph stream. Raises ENovaError for an A tag without HREF.
std::string CompileTextBlock(const std::string& markup);

// Glyph stream -> markup (Shift-JIS) that CompileTextBlock turns into the same bytes; nullopt
// when no markup written here does (streams of other versions, attributes markup cannot say,
// control characters).
std::optional<std::string> TextBlockMarkup(const std::string& stream);

}  // namespace nova::source
