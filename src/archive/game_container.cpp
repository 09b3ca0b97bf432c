#include "archive/game_container.h"

#include <fstream>
#include <system_error>

#include "archive/pe_resources.h"
#include "base/error.h"

namespace nova {
namespace {

struct TFileEnds {
  std::string Head, Tail;
};

TFileEnds ReadEnds(const std::filesystem::path& path) {
  TFileEnds ends;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return ends;
  std::streamoff size = in.tellg();
  in.seekg(0);
  ends.Head.resize(static_cast<size_t>(std::min<std::streamoff>(size, 4)));
  in.read(ends.Head.data(), static_cast<std::streamsize>(ends.Head.size()));
  if (size >= 6) {
    ends.Tail.resize(2);
    in.seekg(size - 2);
    in.read(ends.Tail.data(), 2);
  }
  return ends;
}

bool ResourceHoldsArchive(const std::filesystem::path& path) {
  TPeResource res;
  if (FindPeResource(path, "DUMMY", "BINTYPE", res) != PeLookup::Found || res.size < 2) return false;
  std::ifstream in(path, std::ios::binary);
  char tail[2];
  in.seekg(res.offset + res.size - 2);
  return static_cast<bool>(in.read(tail, 2)) && tail[0] == 'v' && tail[1] == 'f';
}

}  // namespace

std::optional<TGameContainer> ProbeGameContainer(const std::filesystem::path& path) {
  std::error_code ec;
  TGameContainer c;
  c.Path = path;
  if (std::filesystem::is_directory(path, ec)) return c;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  TFileEnds ends = ReadEnds(path);
  c.Windows = ends.Head.compare(0, 2, "MZ") == 0;
  bool elf = ends.Head == "\x7f" "ELF";
  if (!c.Windows && !elf) {
    c.Kind = TContainerKind::ArchiveFile;
    return c;
  }
  c.Kind = TContainerKind::Executable;
  c.AppendedArchive = ends.Tail == "nv";
  c.ResourceArchive = c.Windows && ResourceHoldsArchive(path);
  return c;
}

std::vector<std::unique_ptr<TVrFileCollection>> OpenContainerArchives(const TGameContainer& container) {
  std::vector<std::unique_ptr<TVrFileCollection>> out;
  auto add = [&](auto open) {
    auto c = std::make_unique<TVrFileCollection>();
    open(*c);
    out.push_back(std::move(c));
  };
  switch (container.Kind) {
    case TContainerKind::Folder: break;
    case TContainerKind::ArchiveFile: add([&](TVrFileCollection& c) { c.OpenFile(container.Path); }); break;
    case TContainerKind::Executable:
      if (container.ResourceArchive)
        add([&](TVrFileCollection& c) { c.OpenResource(container.Path, "DUMMY", "BINTYPE"); });
      if (container.AppendedArchive) add([&](TVrFileCollection& c) { c.OpenAppended(container.Path); });
      if (out.empty()) RaiseError(HostPathText(container.Path) + ": the executable carries no game archive");
      break;
  }
  return out;
}

std::unique_ptr<TVrFileCollection> OpenArchiveOf(const std::filesystem::path& file) {
  std::optional<TGameContainer> c = ProbeGameContainer(file);
  if (!c || c->Kind == TContainerKind::Folder) RaiseError("no such archive: " + HostPathText(file));
  std::vector<std::unique_ptr<TVrFileCollection>> archives = OpenContainerArchives(*c);
  return std::move(archives.back());  // the appended archive when an executable has both
}

}  // namespace nova
