#include "game/game_fonts.h"

#include <algorithm>
#include <string>
#include <vector>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/sjis.h"
#include "platform/font_rasterizer.h"

namespace nova {

namespace {

bool IsFontFile(const std::string& name) {
  const std::string lower = LowerCaseAnsi(name);
  for (const char* ext : {".ttf", ".ttc", ".otf"}) {
    const size_t n = std::char_traits<char>::length(ext);
    if (lower.size() > n && lower.compare(lower.size() - n, n, ext) == 0) return true;
  }
  return false;
}

}  // namespace

int AddGameFonts(TVrFileManager& files, TFontRasterizer& fonts) {
  std::vector<std::string> names;
  for (int a = 0; a < files.ArchiveCount(); ++a)
    if (TVrFileCollection* archive = files.Archive(a))
      for (int i = 0; i < archive->Count(); ++i)
        if (IsFontFile(archive->Entry(i)->Name())) names.push_back(archive->Entry(i)->Name());
  std::vector<std::string> loose;
  files.ListFolder(std::string(), loose);
  for (const std::string& name : loose)
    if (IsFontFile(name)) names.push_back(name);
  int added = 0;
  std::vector<std::string> seen;
  for (const std::string& name : names) {
    if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return SameText(s, name); })) continue;
    seen.push_back(name);
    try {
      TKtMemoryStream bytes;
      files.ReadFile(bytes, name);
      added += fonts.AddFontData(bytes.Data());
    } catch (const std::exception&) {
      // An unreadable file adds nothing.
    }
  }
  return added;
}

}  // namespace nova
