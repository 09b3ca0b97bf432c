// novatool save list|show: what a "save.dat" holds, as text or JSON (docs/saves.md).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/json.h"
#include "components/component_services.h"
#include "components/register_components.h"
#include "objects/object_factory.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "platform/platform.h"
#include "saves/save_report.h"
#include "text/font_pixels.h"
#include "tools/commands.h"

namespace nova::tools {
namespace fs = std::filesystem;

namespace {

const char kSaveUsage[] = "usage: save list|show FILE [--json] [--game GAME_FOLDER|game.dat]";

const char* KindName(TEntryReport::TKind k) {
  switch (k) {
    case TEntryReport::Game: return "game";
    case TEntryReport::Status: return "status";
    case TEntryReport::ScenarioFile: return "file";
    default: return "other";
  }
}

std::string Json(const TSaveFileReport& r, const std::string& file, bool details) {
  std::string out = "{\"file\": " + JsonUtf8String(file) + ", \"exists\": " + (r.Exists ? "true" : "false") +
                    ", \"damaged\": " + (r.Damaged ? "true" : "false");
  if (r.Damaged) out += ", \"damage\": " + JsonUtf8String(r.DamageReason);
  out += ", \"entries\": [";
  for (size_t i = 0; i < r.Entries.size(); ++i) {
    const TEntryReport& e = r.Entries[i];
    out += i ? ",\n  " : "\n  ";
    out += "{\"name\": " + JsonString(e.Name) + ", \"kind\": \"" + KindName(e.Kind) + "\"";
    if (e.Kind == TEntryReport::Game) out += ", \"slot\": " + std::to_string(e.Slot);
    out += ", \"stored\": " + std::to_string(e.StoredSize) + ", \"size\": " + std::to_string(e.Size) +
           ", \"compressed\": " + (e.Compressed ? "true" : "false") + ", \"checksum\": " +
           (e.ChecksumOk ? "\"ok\"" : "\"bad\"");
    if (e.Version >= 0) out += ", \"version\": " + std::to_string(e.Version);
    if (e.Kind == TEntryReport::Game) {
      out += ", \"caption\": " + JsonString(e.Caption) + ", \"afterLoadPage\": " + JsonString(e.AfterLoadPage) +
             ", \"afterLoadIndex\": " + std::to_string(e.AfterLoadIndex);
    }
    if (details && (e.Kind == TEntryReport::Game || e.Kind == TEntryReport::Status)) {
      out += ", \"sections\": [";
      for (size_t k = 0; k < e.Sections.size(); ++k) {
        const TSectionReport& s = e.Sections[k];
        out += (k ? ", " : "") + std::string("{\"name\": ") + JsonUtf8String(s.Name) +
               ", \"offset\": " + std::to_string(s.Offset) + ", \"size\": " + std::to_string(s.Size) +
               ", \"summary\": " + JsonUtf8String(s.Summary) + "}";
      }
      out += "], \"variables\": [";
      for (size_t k = 0; k < e.Variables.size(); ++k) out += (k ? ", " : "") + e.Variables[k];
      out += "]";
    }
    if (!e.Error.empty()) out += ", \"error\": " + JsonUtf8String(e.Error);
    out += "}";
  }
  out += r.Entries.empty() ? "]}\n" : "\n]}\n";
  return out;
}

std::string Text(const TSaveFileReport& r, const std::string& file, bool details) {
  std::string out;
  if (!r.Exists) return file + ": no such file\n";
  out += file + ": " + std::to_string(r.Entries.size()) + " entr" + (r.Entries.size() == 1 ? "y" : "ies");
  if (r.Damaged) out += ", DAMAGED: " + r.DamageReason;
  out += "\n";
  for (const TEntryReport& e : r.Entries) {
    std::string line = SjisToUtf8(e.Name) + "  ";
    switch (e.Kind) {
      case TEntryReport::Game:
        line += "slot " + std::to_string(e.Slot) + "  version " + std::to_string(e.Version) + "  caption \"" +
                SjisToUtf8(e.Caption) + "\"";
        if (!e.AfterLoadPage.empty())
          line += "  after-load \"" + SjisToUtf8(e.AfterLoadPage) + "\" " + std::to_string(e.AfterLoadIndex);
        break;
      case TEntryReport::Status: line += "status version " + std::to_string(e.Version); break;
      case TEntryReport::ScenarioFile: line += "scenario file"; break;
      default: line += "other entry"; break;
    }
    line += "  " + std::to_string(e.Size) + " bytes" + (e.Compressed ? " (" + std::to_string(e.StoredSize) + " stored)" : "");
    if (!e.ChecksumOk) line += "  CHECKSUM BAD";
    out += line + "\n";
    if (details) {
      for (const TSectionReport& s : e.Sections) {
        char head[80];
        std::snprintf(head, sizeof head, "    %-16s @%-8lld %8lld bytes  ", s.Name.c_str(),
                      static_cast<long long>(s.Offset), static_cast<long long>(s.Size));
        out += head + s.Summary + "\n";
        if (s.Name == "variables" || s.Name == "status variables")
          for (const std::string& v : e.Variables) out += "      " + v + "\n";
      }
    }
    if (!e.Error.empty()) out += "    ERROR: " + e.Error + "\n";
  }
  return out;
}

// The game's pages (for the running command's state) and its object classes.
struct TGameContext {
  THeadlessPlatform platform;
  TParamCollection store;
  TSysFuncMan funcs{store};
  std::unique_ptr<TFontPixelManager> glyphs;
  TComponentServices services;
  TObjectFactory factory;

  explicit TGameContext(const std::string& game) {
    ResetFileManager(false);
    FileManager().AddMemoryArchive();
    if (!game.empty()) {
      fs::path path(game);
      if (fs::is_directory(path)) {
        FileManager().SetBaseFolder(path);
        if (fs::exists(path / "game.dat")) FileManager().AddArchiveFile(path / "game.dat");
      } else if (fs::exists(path)) {
        FileManager().AddArchiveFile(path);
      } else {
        RaiseError(game + ": no such game");
      }
    }
    glyphs = std::make_unique<TFontPixelManager>(platform.Fonts());
    services.Files = &FileManager();
    services.CheckFile = [](const std::string& name) { return FileManager().Exists(name); };
    services.Store = &store;
    services.Funcs = &funcs;
    services.Glyphs = glyphs.get();
    services.Platform = &platform;
    RegisterComponentClasses(factory, services);
  }
};

}  // namespace

int CmdSave(const Args& args) {
  std::string what, file, game;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") json = true;
    else if (args[i] == "--game" && i + 1 < args.size()) game = args[++i];
    else if (what.empty()) what = args[i];
    else if (file.empty()) file = args[i];
    else what = "?";
  }
  if ((what != "list" && what != "show") || file.empty()) {
    std::fprintf(stderr, "%s\n", kSaveUsage);
    return 2;
  }
  const bool details = what == "show";
  TGameContext context(game);
  TSaveFileReport report = DescribeSaveFile(fs::path(file), details, &context.factory);
  std::string out = json ? Json(report, file, details) : Text(report, file, details);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (!report.Exists) return 1;
  for (const TEntryReport& e : report.Entries)
    if (!e.Error.empty() || !e.ChecksumOk) return 1;
  return report.Damaged ? 1 : 0;
}

}  // namespace nova::tools
