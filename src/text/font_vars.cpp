#include "text/font_vars.h"

#include <algorithm>

#include "base/sjis.h"
#include "params/sysfunc.h"
#include "params/system_vars.h"
#include "platform/font_rasterizer.h"

namespace nova {

std::string FontListText(std::vector<std::string> names) {
  std::erase_if(names, [](const std::string& n) { return n.empty() || n[0] == '@'; });
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  names.erase(std::unique(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return SameText(a, b); }),
              names.end());
  std::string text;
  for (const std::string& n : names) {
    if (!text.empty()) text += "\r\n";
    text += n;
  }
  size_t b = text.find_first_not_of(" \t\r\n"), e = text.find_last_not_of(" \t\r\n");
  return b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
}

void RegisterFontVariables(TSysFuncMan& funcs, TFontRasterizer& fonts) {
  funcs.RegisterVariable(SV_FONTS, {.GetStr = [&fonts](int) { return FontListText(fonts.Families(false)); }});
  funcs.RegisterVariable(SV_FIXEDFONTS, {.GetStr = [&fonts](int) { return FontListText(fonts.Families(true)); }});
}

}  // namespace nova
