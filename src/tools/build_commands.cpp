// novatool build and disasm: the scenario compiler and disassembler at the command line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "scenario/page_format.h"
#include "scenario/project_file.h"
#include "authoring/disassembler.h"
#include "authoring/page_compiler.h"
#include "authoring/project_source.h"
#include "authoring/build_project.h"
#include "tools/commands.h"

namespace nova::tools {
namespace fs = std::filesystem;
using source::BuildPageFile;
using source::BuildSourceFolder;
using source::ReadArchiveEntries;
using source::TBuiltEntry;
using source::WriteGameArchive;

namespace {

bool SplitOutput(const Args& args, std::vector<std::string>& positional, std::string& out,
                 std::optional<std::string>* install = nullptr) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
    } else if (install && args[i] == "--install") {
      if (i + 1 >= args.size()) return false;
      *install = args[++i];
    } else {
      positional.push_back(args[i]);
    }
  }
  return true;
}

// The game name a single page gets: the output's file name ("start.nsb").
std::string PageNameOf(const std::string& path) { return Utf8ToSjis(fs::path(path).filename().string()); }

bool HasExt(const std::string& path, const char* ext) { return SameText(ExtractFileExt(path), ext); }

void WriteOut(const std::string& text, const std::string& out) {
  if (out.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
  } else {
    TKtMemoryStream(text).SaveToFile(out);
  }
}

std::string Disassemble(const std::string& bytes, const std::string& name) {
  TKtMemoryStream s(bytes);
  if (HasExt(name, ".npb")) {
    TProjectFile p;
    if (!ReadProjectFile(s, p)) RaiseError(SjisToUtf8(name) + ": project version " + std::to_string(p.Version) + " is newer than 112");
    return source::FormatProjectSource(p);
  }
  TPageFile page;
  ReadPageFile(s, page);
  return source::DisassemblePage(page, name);
}

}  // namespace

int CmdBuild(const Args& args) {
  std::vector<std::string> pos;
  std::string out;
  std::optional<std::string> install;
  if (!SplitOutput(args, pos, out, &install) || pos.size() != 1) {
    std::fprintf(stderr, "usage: novatool build SRC_DIR -o OUT_DIR [--install NAME] | build PAGE_SOURCE -o PAGE.nsb\n");
    return 2;
  }
  const std::string& src = pos[0];
  if (fs::is_directory(src)) {
    if (out.empty()) {
      std::fprintf(stderr, "novatool build: -o OUT_DIR is needed for a source folder\n");
      return 2;
    }
    std::vector<std::string> errors;
    std::vector<TBuiltEntry> entries = BuildSourceFolder(src, errors);
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    if (!errors.empty()) return 1;
    if (install) entries.push_back({"install.dat", InstallRecord(*install)});
    fs::create_directories(out);
    WriteGameArchive(entries, (fs::path(out) / "game.dat").string());
    return 0;
  }
  if (out.empty()) out = fs::path(src).replace_extension(".nsb").string();
  try {
    std::string bytes = BuildPageFile(src, PageNameOf(out));
    WriteOut(bytes, out);
  } catch (const source::TBuildError& e) {
    std::fprintf(stderr, "%s\n", e.Text().c_str());
    return 1;
  }
  return 0;
}

namespace {

// A game name that stays inside the output folder once "\" becomes "/".
bool SafeRelativePath(const std::string& utf8) {
  if (utf8.empty() || utf8[0] == '/' || utf8.find(':') != std::string::npos) return false;
  for (const auto& part : fs::path(utf8)) {
    if (part == "..") return false;
  }
  return true;
}

// Every entry of an archive as a source folder that `build` turns back into the same entries.
int DisassembleArchive(const std::string& archive, const std::string& outDir) {
  int status = 0;
  for (const TBuiltEntry& e : ReadArchiveEntries(archive)) {
    std::string utf8;
    if (!TrySjisToUtf8(e.Name, utf8)) utf8.clear();
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    std::string shown = SjisToUtf8(e.Name);
    if (!SafeRelativePath(utf8)) {
      std::fprintf(stderr, "novatool disasm: skipping entry %s (no usable file name)\n", shown.c_str());
      status = 1;
      continue;
    }
    fs::path target = fs::path(outDir) / utf8;
    std::string text = e.Bytes;
    if (SameText(e.Name, "nova.npb")) {
      target = fs::path(outDir) / "project.nsp";
      text = Disassemble(e.Bytes, e.Name);
    } else if (HasExt(e.Name, ".nsb")) {
      target.replace_extension(".nss");
      text = Disassemble(e.Bytes, e.Name);
    } else if (HasExt(e.Name, ".nss") || SameText(e.Name, "project.nsp")) {
      std::fprintf(stderr, "novatool disasm: skipping entry %s (its name is taken by the sources)\n", shown.c_str());
      status = 1;
      continue;
    }
    fs::create_directories(target.parent_path());
    TKtMemoryStream(text).SaveToFile(target.string());
  }
  return status;
}

}  // namespace

int CmdDisasm(const Args& args) {
  std::vector<std::string> pos;
  std::string out;
  if (!SplitOutput(args, pos, out) || pos.empty() || pos.size() > 2) {
    std::fprintf(stderr, "usage: novatool disasm FILE.nsb | disasm game.dat PAGE | disasm game.dat -o DIR  [-o OUT]\n");
    return 2;
  }
  std::string text;
  if (pos.size() == 1 && !HasExt(pos[0], ".nsb") && !HasExt(pos[0], ".npb")) {
    if (out.empty()) {
      std::fprintf(stderr, "novatool disasm: -o DIR is needed to disassemble a whole archive\n");
      return 2;
    }
    return DisassembleArchive(pos[0], out);
  }
  if (pos.size() == 1) {
    TKtMemoryStream s;
    s.LoadFromFile(pos[0]);
    text = Disassemble(s.Data(), PageNameOf(pos[0]));
  } else {
    std::string name = Utf8ToSjis(pos[1]);
    std::replace(name.begin(), name.end(), '/', '\\');
    text = Disassemble(ReadArchiveEntries(pos[0], name)[0].Bytes, name);
  }
  WriteOut(text, out);
  return 0;
}

}  // namespace nova::tools
