// The archive side of the build: game.dat written with the archive writer.
#include "archive/vrfile_collection.h"
#include "base/encoding.h"
#include "base/stream.h"
#include "tools/build_project.h"

namespace nova::tools {

void WriteGameArchive(const std::vector<TBuiltEntry>& entries, const std::string& path) {
  TVrFileCollection archive;
  archive.OpenFile("");
  for (const TBuiltEntry& e : entries) {
    TVrFile* f = archive.AddMemoryFile(e.Name);
    f->Memory->WriteBytes(e.Bytes);
  }
  TFileStream out(path, TFileStream::Create);
  archive.Write(out, TVrFileCollection::kWriteVersion);
}

std::string ReadArchiveEntry(const std::string& archivePath, const std::string& name) {
  TVrFileCollection archive;
  archive.OpenFile(Utf8ToSjis(archivePath));
  TKtMemoryStream s;
  archive.ReadEntry(name, s);
  return s.Data();
}

}  // namespace nova::tools
