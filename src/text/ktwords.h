#pragma once
// Marked-up message text: the text object, its glyphs, the markup reader, glyph streams and
// layout.
#include "text/decorate.h"
#include "text/glyph_stream.h"
#include "text/glyphs.h"
#include "text/kt_word.h"
#include "text/layout.h"
#include "text/markup.h"
#include "text/text_images.h"
#include "text/text_metrics.h"
