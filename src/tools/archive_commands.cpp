// novatool list / cat / extract / pack: archives from the command line. Arguments and
// printed names are UTF-8; names inside archives are Shift-JIS.
#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/disk_names.h"
#include "archive/game_container.h"
#include "archive/install_set.h"
#include "archive/pe_resources.h"
#include "archive/vrfile_collection.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "tools/commands.h"

namespace nova::tools {
namespace fs = std::filesystem;

namespace {

int Fail(const char* cmd, const std::string& message) {
  std::fprintf(stderr, "novatool %s: %s\n", cmd, message.c_str());
  return 1;
}

// A view of a stream whose position 0 lies at base (an archive appended to an executable
// addresses its entries relative to its own first byte).
class TShiftedStream : public TStream {
public:
  TShiftedStream(TStream& s, int64_t base) : s_(s), base_(base) { s_.SetPosition(base); }
  int64_t Read(void* b, int64_t n) override { return s_.Read(b, n); }
  int64_t Write(const void* b, int64_t n) override { return s_.Write(b, n); }
  int64_t Seek(int64_t off, SeekOrigin o) override {
    return (o == SeekOrigin::Begin ? s_.Seek(base_ + off, o) : s_.Seek(off, o)) - base_;
  }
  int64_t Size() override { return s_.Size() - base_; }

private:
  TStream& s_;
  int64_t base_;
};

std::string GameName(const std::string& utf8) {
  std::string sjis;
  if (!TryUtf8ToSjis(utf8, sjis)) RaiseError("name cannot be written in Shift-JIS: " + utf8);
  for (size_t i = 0; i < sjis.size(); i += CharLen(sjis, i))
    if (sjis[i] == '/') sjis[i] = '\\';
  return sjis;
}

}  // namespace

const char* const kPackUsage =
    "usage: pack DIR -o OUT [--version 0|100|101|102] [--exe STUB] [--ext] [--install \"PROJECT NAME\"]";

std::string InstallRecord(const std::string& utf8ProjectName) {
  TNovaInstallSet set;
  if (!TryUtf8ToSjis(utf8ProjectName, set.ProjectName))
    RaiseError("project name cannot be written in Shift-JIS: " + utf8ProjectName);
  set.DataComplete = 1;  // everything the game needs is in this archive
  TKtMemoryStream bytes;
  set.Save(bytes);
  return bytes.Data();
}

int CmdList(const Args& args) {
  if (args.size() != 1) return Fail("list", "usage: list ARCHIVE");
  std::unique_ptr<TVrFileCollection> archive = OpenArchiveOf(args[0]);
  TVrFileCollection& c = *archive;
  std::printf("%12s  %-10s  %-8s  %s\n", "size", "kind", "crc32", "name");
  for (int i = 0; i < c.EntryCount(); ++i) {
    TVrFile* e = c.Entry(i);
    std::printf("%12lld  %-10s  %08x  %s\n", static_cast<long long>(e->Size), e->Stored ? "stored" : "compressed",
                e->Checksum, SjisToUtf8(e->Name()).c_str());
  }
  return 0;
}

int CmdCat(const Args& args) {
  if (args.size() != 2) return Fail("cat", "usage: cat ARCHIVE NAME");
  std::unique_ptr<TVrFileCollection> archive = OpenArchiveOf(args[0]);
  TVrFileCollection& c = *archive;
  std::string name = GameName(args[1]);
  TVrFile* e = c.FindFile(name);
  if (!e || e->Name() == TVrFileCollection::kSentinel) return Fail("cat", "no entry " + args[1]);
  TKtMemoryStream m;
  c.ReadEntryData(*e, m);
  if (std::fwrite(m.Memory(), 1, m.Data().size(), stdout) != m.Data().size()) return Fail("cat", "write error");
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int CmdExtract(const Args& args) {
  if (args.size() != 2) return Fail("extract", "usage: extract ARCHIVE DIR");
  std::unique_ptr<TVrFileCollection> archive = OpenArchiveOf(args[0]);
  TVrFileCollection& c = *archive;
  fs::path root(args[1]);
  int status = 0;
  for (int i = 0; i < c.EntryCount(); ++i) {
    TVrFile* e = c.Entry(i);
    std::string utf8;
    bool converted = TrySjisToUtf8(e->Name(), utf8);
    std::string shown = converted ? utf8 : SjisToUtf8(e->Name());
    // Never outside DIR: no "..", no absolute name, no drive letter.
    if (!converted || !IsSafeGameName(e->Name())) {
      std::fprintf(stderr, "novatool extract: refusing entry %s\n", shown.c_str());
      status = 1;
      continue;
    }
    std::string local = utf8;
    std::replace(local.begin(), local.end(), '\\', '/');
    fs::path target = root / local;
    TKtMemoryStream m;
    c.ReadEntryData(*e, m);
    fs::create_directories(target.parent_path());
    m.SaveToFile(target);
  }
  return status;
}

int CmdPack(const Args& args) {
  std::string dir, out, stub, install;
  bool withInstall = false;
  int version = TVrFileCollection::kWriteVersion;
  bool ext = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "-o" && hasValue) out = args[++i];
    else if (a == "--version" && hasValue) {
      const std::string& v = args[++i];
      if (v != "0" && v != "100" && v != "101" && v != "102") return Fail("pack", "version must be 0, 100, 101 or 102");
      version = std::stoi(v);
    } else if (a == "--exe" && hasValue) stub = args[++i];
    else if (a == "--ext") ext = true;
    else if (a == "--install" && hasValue) {
      install = args[++i];
      withInstall = true;
    }
    else if (dir.empty() && a[0] != '-') dir = a;
    else return Fail("pack", kPackUsage);
  }
  if (dir.empty() || out.empty()) return Fail("pack", kPackUsage);
  if (ext && !stub.empty()) return Fail("pack", "--ext and --exe cannot be combined");
  if (!fs::is_directory(dir)) return Fail("pack", "not a folder: " + dir);

  std::vector<std::string> names;
  fs::path outAbs = fs::absolute(out).lexically_normal();
  for (const auto& item : fs::recursive_directory_iterator(dir)) {
    if (!item.is_regular_file()) continue;
    if (fs::absolute(item.path()).lexically_normal() == outAbs) continue;  // never pack the output into itself
    names.push_back(fs::relative(item.path(), dir).generic_string());
  }
  std::sort(names.begin(), names.end());
  TVrFileCollection c;
  c.SetFolder(fs::absolute(dir));
  for (const std::string& n : names) c.AddFile(GameName(n));
  if (withInstall) {
    c.RemoveFile("install.dat");
    c.AddMemoryFile("install.dat")->Memory->Assign(InstallRecord(install));
  }

  if (!stub.empty()) {
    TKtMemoryStream stubBytes;
    stubBytes.LoadFromFile(stub);
    if (stubBytes.Size() > 0x7FFFFFFF) return Fail("pack", "stub too large");
    TFileStream file(out, TFileStream::Create);
    file.WriteBytes(stubBytes.Data());
    TShiftedStream archive(file, stubBytes.Size());
    c.Write(archive, version);
    file.Seek(0, SeekOrigin::End);
    file.WriteInt32(static_cast<int32_t>(stubBytes.Size()));
    file.WriteBytes("nv");
  } else if (ext) {
    fs::path side = fs::path(out).replace_extension(".ext");
    TKtBigFileStream data(out, TKtBigFileStream::Create);
    TFileStream directory(side, TFileStream::Create);
    c.WriteSplit(directory, data, version);
  } else {
    TKtBigFileStream file(out, TKtBigFileStream::Create);
    c.Write(file, version);
  }
  std::fprintf(stderr, "novatool pack: %zu entries -> %s (version %d)\n", names.size(), out.c_str(), version);
  return 0;
}

}  // namespace nova::tools
