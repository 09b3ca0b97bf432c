#pragma once
// Glyphs and their rendering: the glyph cache, RenderGlyph, message text on its page surfaces,
// caption lists, layout with the fonts' widths and the font variables.
#include "text/font_pixels.h"
#include "text/font_vars.h"
#include "text/glyph_metrics.h"
#include "text/glyph_render.h"
#include "text/label_list.h"
#include "text/page_render.h"
