#include "saves/save_screen.h"

#include <algorithm>

#include "archive/disk_names.h"
#include "archive/install_set.h"
#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "formats/brio_writer.h"
#include "formats/surface_pixels.h"
#include "objects/scene.h"
#include "params/sysfunc_call.h"
#include "render/dibx.h"
#include "saves/save_file.h"

namespace nova {

namespace {

enum class Destination { Memory, SaveFile, Disk };

Destination DestinationOf(const std::string& name) {
  if (StartsWithText(name, "mem:")) return Destination::Memory;
  if (StartsWithText(name, "save:")) return Destination::SaveFile;
  return Destination::Disk;
}

// The picture of a screen at the scene's size, scaled to width x height, as 24-bit rows.
TBrioBitmap CaptureScreen(TNovaBaseList& scene, bool useBack, int32_t width, int32_t height) {
  TNovaBase& screen = useBack ? scene.BackScreen() : scene.Displayed();
  TCustomDIBX* source = screen.DrawSurface();
  const int32_t sw = scene.ScreenWidth(), sh = scene.ScreenHeight();
  TDIBX captured;
  captured.SetSize(sw, sh, source->GetBitCount());
  captured.Draw(0, 0, false, false, false, TRect{0, 0, sw, sh}, source);
  if (width == sw && height == sh) return BitmapFromSurface(captured, false);
  TDIBX scaled;
  scaled.SetSize(width, height, captured.GetBitCount());
  scaled.StretchDraw(TRect{0, 0, width, height}, &captured, 255, false, false, false, TRect{0, 0, sw, sh});
  return BitmapFromSurface(scaled, false);
}

std::string EncodeImage(const TBrioBitmap& picture, int32_t compression) {
  TBrioWriteFrame frame;
  frame.Color = &picture;
  TBrioWriteOptions options;
  options.Compression = compression;
  options.JpegQuality = 70;
  TKtMemoryStream out;
  WriteBrio(out, {frame}, options);
  return out.Data();
}

// The in-memory file of that name (an existing one is emptied), else a new one in the first
// archive.
void PutMemoryFile(TVrFileManager& files, const std::string& name, const std::string& bytes) {
  TVrFile* entry = files.FindEntry(name);
  if (!entry || !entry->Memory) {
    if (files.ArchiveCount() == 0) files.AddMemoryArchive();
    entry = files.Archive(0)->AddMemoryFile(name);
  }
  entry->Memory->Assign(bytes);
}

// The host path of a new or existing file below the base folder (its folders must exist).
std::filesystem::path DiskPathOf(const std::filesystem::path& base, const std::string& name) {
  if (!IsSafeGameName(name)) RaiseError(name + ": not a file name below the game folder");
  if (auto existing = FindGameFile(base, name)) return *existing;
  const std::string folder = ExtractFilePath(name);
  std::filesystem::path dir = base;
  if (!folder.empty()) {
    auto found = ResolveGamePath(base, folder.substr(0, folder.size() - 1));
    if (!found || !found->isDirectory) RaiseError(name + Utf8ToSjis(":ファイルがありません"));
    dir = found->localPath;
  }
  return dir / SjisToUtf8(ExtractFileName(name));
}

void RecordInInstallSet(const std::filesystem::path& base, const std::string& name) {
  auto install = FindGameFile(base, "install.dat");
  if (!install) return;
  TNovaInstallSet set;
  set.LoadFromFile(*install);
  if (std::none_of(set.Files.begin(), set.Files.end(), [&](const std::string& f) { return SameText(f, name); })) {
    set.Files.push_back(name);
    set.SaveToFile(*install);
  }
}

}  // namespace

bool SaveScreen(const TSaveScreenServices& services, const std::string& name, int32_t width, int32_t height,
                bool useBack, int32_t mode) {
  TVrFileManager& files = *services.Files;
  TNovaBaseList& scene = *services.Scene;
  const std::filesystem::path base = files.BaseFolder();
  std::error_code ec;
  if (base.empty() || !std::filesystem::is_directory(base, ec)) return false;
  if (!SameText(ExtractFileExt(name), ".bri")) return false;
  if (width == 0) width = scene.ScreenWidth();
  if (height == 0) height = scene.ScreenHeight();
  if (width < 1 || height < 1) return false;

  const Destination to = DestinationOf(name);
  std::filesystem::path written;
  const std::string bytes = EncodeImage(CaptureScreen(scene, useBack, width, height), to == Destination::Disk ? 0 : 1);
  switch (to) {
    case Destination::Memory: PutMemoryFile(files, name, bytes); break;
    case Destination::SaveFile: {
      PutMemoryFile(files, name, bytes);
      if (services.StoreInSaveFile) services.StoreInSaveFile(name, bytes);
      break;
    }
    case Destination::Disk: {
      written = DiskPathOf(base, name);
      ReplaceFileAtomically(written, bytes);
      InvalidateDiskNames(written.parent_path());
      break;
    }
  }
  if (services.DropCachedImage) services.DropCachedImage(name);
  if (to == Destination::Disk && mode == 1 && services.WrittenFiles) {
    auto& list = *services.WrittenFiles;
    if (std::find(list.begin(), list.end(), written) == list.end()) list.push_back(written);
  }
  if (to == Destination::Disk && mode == 2) RecordInInstallSet(base, name);
  return true;
}

void RegisterSaveScreen(TSysFuncMan& funcs, TSaveScreenServices services) {
  funcs.Register(FindSysFunc("SaveScreen"), [services](TSysFuncCall& c) {
    const int32_t width = c.Has(1) ? c.Int(1) : 0;
    const int32_t height = c.Has(2) ? c.Int(2) : 0;
    const bool useBack = c.Has(3) && c.Bool(3);
    const int32_t mode = c.Has(4) ? c.Int(4) : 0;
    c.ResultBool(SaveScreen(services, c.Str(0), width, height, useBack, mode));
  });
}

void UnregisterSaveScreen(TSysFuncMan& funcs) { funcs.Register(FindSysFunc("SaveScreen"), nullptr); }

}  // namespace nova
