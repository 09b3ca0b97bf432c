#include "tools/archive_open.h"

#include <filesystem>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"

namespace nova::tools {

void OpenArchiveForTool(const std::string& path, TVrFileCollection& c) {
  if (!std::filesystem::is_regular_file(path)) RaiseError("no such archive: " + path);
  std::string head, tail;
  {
    TFileStream f(path, TFileStream::OpenRead);
    head = f.ReadBytes(2);
    if (f.Size() >= 6) {
      f.SetPosition(f.Size() - 6);
      tail = f.ReadBytes(6);
    }
  }
  std::string ext = UpperCaseAnsi(std::filesystem::path(path).extension().string());
  bool executable = head == "MZ" || ext == ".EXE" || ext == ".SCR";
  if (executable && tail.size() == 6 && tail.substr(4) == "nv") {
    if (ext == ".EXE" || ext == ".SCR") {
      c.OpenFile(Utf8ToSjis(path));
    } else {
      // The trailer rule keyed on the extension: read the directory start ourselves.
      auto stream = std::make_unique<TKtBigFileStream>(path, TKtBigFileStream::OpenRead);
      int64_t size = stream->Size();
      stream->SetPosition(size - 6);
      int64_t start = stream->ReadInt32();
      if (start < 0 || start > size - 6) RaiseError("archive trailer points outside the file: " + path);
      stream->SetPosition(start);
      c.OpenStream(std::move(stream), Utf8ToSjis(path));
    }
    return;
  }
  if (head == "MZ") {
    c.OpenResource(Utf8ToSjis(path), "DUMMY", "BINTYPE");
    if (!c.Stream()) RaiseError("not a readable executable: " + path);
    return;
  }
  c.OpenFile(Utf8ToSjis(path));
}

}  // namespace nova::tools
