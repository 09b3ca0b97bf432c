#pragma once
// Compiled glyph streams: the form in which the authoring compiler stores the text of a TextIns
// command (read and written by TKtWord::LoadGlyphStream / SaveGlyphStream).
//   header   "KtWord" + three digits (the version v); without it the stream starts at once, v = 0
//   records  int32 count; per record: reference count, colour, border colour, size (int32 each),
//            style byte, no-break byte, border width (int32 when v > 99, else a flag byte),
//            font name, ruby text (strings), when v >= 100 shadow offset and shadow colour
//   glyphs   int32 count; per glyph its kind code and the record of that kind (glyphs.h)
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "text/decorate.h"

namespace nova {

struct TGlyphReader {
  int32_t Version = 0;
  TDecorateList* List = nullptr;
  std::vector<TDecorate*> Records;  // the records of this stream, by index
};

struct TGlyphWriter {
  int32_t Version = 0;
  std::unordered_map<const TDecorate*, int32_t> Index;  // record -> index in the stream
};

// "KtWord" + three digits; the bytes after it start the records.
constexpr int kGlyphStreamHeaderSize = 9;

}  // namespace nova
