// The archive side of the build: game.dat written with the archive writer.
#include "archive/vrfile_collection.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "archive/game_container.h"
#include "authoring/build_project.h"

namespace nova::source {

void WriteGameArchive(const std::vector<TBuiltEntry>& entries, const std::string& path) {
  TVrFileCollection archive;
  for (const TBuiltEntry& e : entries) {
    TVrFile* f = archive.AddMemoryFile(e.Name);
    f->Memory->WriteBytes(e.Bytes);
    f->PackAsFile = e.Asset;
  }
  TFileStream out(path, TFileStream::Create);
  archive.Write(out, TVrFileCollection::kWriteVersion);
}

std::vector<TBuiltEntry> ReadArchiveEntries(const std::string& archivePath, const std::string& only) {
  std::unique_ptr<TVrFileCollection> opened = OpenArchiveOf(archivePath);
  TVrFileCollection& archive = *opened;
  std::vector<TBuiltEntry> out;
  for (int i = 0; i < archive.EntryCount(); ++i) {
    TVrFile* e = archive.Entry(i);
    if (!only.empty() && !SameText(e->Name(), only)) continue;
    TKtMemoryStream s;
    archive.ReadEntryData(*e, s);
    out.push_back({e->Name(), s.Data()});
  }
  if (!only.empty() && out.empty()) RaiseError(Format(Utf8ToSjis("%s:ファイルがありません").c_str(), only.c_str()));
  return out;
}

}  // namespace nova::source
