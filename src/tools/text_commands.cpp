// novatool text layout [--width W] [--page-height H] [--line-spacing S] [--font-size N]
//                      [--metrics fixed|FACE] MARKUP
// Lays out markup as a message box does (build, expand variables, lay out in square cells) and
// prints one JSON object per row. --metrics only says how the glyphs would be drawn: fixed
// without any font, FACE in a Windows face as the installed fonts give it (FreeType and
// fontconfig, with the player's substitutes), which becomes the default face. Neither moves a
// break: every character's cell is its size square, as in the message box.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>

#include "base/encoding.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/sysfunc.h"
#include "base/json.h"
#include "platform/sdl/freetype_fonts.h"
#include "text/ktwords.h"
#include "tools/commands.h"

namespace nova::tools {

namespace {

int TextUsage() {
  std::fprintf(stderr,
               "usage: novatool text layout [--width W] [--page-height H] [--line-spacing S] [--font-size N]\n"
               "                            [--metrics fixed|FACE] MARKUP\n"
               "  MARKUP is UTF-8 (- reads it from stdin); without --page-height a page has no limit;\n"
               "  the default font size is 16, the message box's; every character's cell is its size\n"
               "  square; --metrics names how glyphs would be drawn (FACE: a Windows face name such as\n"
               "  \"ＭＳ Ｐゴシック\", looked up in the installed fonts) and does not move a break\n");
  return 2;
}

// The characters of a row in UTF-8; an image shows as U+FFFC.
std::string RowText(const TWdRow& row) {
  std::string utf8, sjis;
  for (const TWdGlyph* g : row.Children) {
    if (auto* c = dynamic_cast<const TWdChar*>(g)) {
      sjis += c->Text();
    } else if (dynamic_cast<const TWdImg*>(g)) {
      utf8 += SjisToUtf8(sjis) + "\xEF\xBF\xBC";
      sjis.clear();
    }
  }
  return utf8 + SjisToUtf8(sjis);
}

int Layout(const Args& args) {
  int32_t width = 0, pageHeight = 0, spacing = 0, fontSize = 16;
  std::string metrics, markup;
  bool haveMarkup = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    int32_t* number = a == "--width" ? &width
                      : a == "--page-height" ? &pageHeight
                      : a == "--line-spacing" ? &spacing
                      : a == "--font-size" ? &fontSize
                                             : nullptr;
    if (number) {
      if (++i >= args.size() || !TryTextToInt(args[i], *number)) {
        std::fprintf(stderr, "novatool text: %s needs a number\n", a.c_str());
        return 2;
      }
    } else if (a == "--metrics") {
      if (++i >= args.size()) return TextUsage();
      metrics = args[i];
    } else if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::fprintf(stderr, "novatool text: unknown option %s\n", a.c_str());
      return TextUsage();
    } else if (!haveMarkup) {
      markup = a;
      haveMarkup = true;
    } else {
      return TextUsage();
    }
  }
  if (!haveMarkup) return TextUsage();
  if (markup == "-") markup.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

  // The text object's own rule, as the message box has it: no measurer, square cells.
  TKtWord word;
  if (!metrics.empty() && metrics != "fixed") {
    std::unique_ptr<TFontRasterizer> fonts = CreateFreeTypeFontRasterizer();
    std::string face = Utf8ToSjis(metrics);
    if (!fonts->FindFace(face)) {
      TFontFace* fallback = fonts->FindFace(DefaultTextFontName());
      std::fprintf(stderr, "novatool text: no face for %s; drawing with %s\n", metrics.c_str(),
                   fallback ? fallback->Source().c_str() : "nothing");
    }
    word.Settings.FontName = face;
  }
  word.Settings.Width = width;
  word.Settings.PageHeight = pageHeight;
  word.Settings.LineSpacing = spacing;
  word.Settings.FontSize = fontSize;
  TParamCollection store;
  TSysFuncMan funcs(store);
  word.BuildGlyphs(SplitMarkupLines(Utf8ToSjis(markup)), store.TextDelay);
  word.ExpandVars(store, funcs);
  TWdPageList pages;
  word.LayoutPages(pages);
  for (size_t p = 0; p < pages.size(); ++p) {
    for (size_t r = 0; r < pages[p]->Rows.size(); ++r) {
      const TWdRow& row = *pages[p]->Rows[r];
      std::cout << "{\"page\": " << p << ", \"row\": " << r << ", \"y\": " << row.Y << ", \"height\": " << row.Height
                << ", \"width\": " << row.Width << ", \"text\": " << JsonUtf8String(RowText(row)) << "}\n";
    }
  }
  std::cout.flush();
  return 0;
}

}  // namespace

int CmdText(const Args& args) {
  if (args.empty() || args[0] != "layout") return TextUsage();
  return Layout(Args(args.begin() + 1, args.end()));
}

}  // namespace nova::tools
