#include "saves/save_report.h"

#include <cstring>
#include <functional>
#include <map>
#include <sstream>

#include "archive/vrfiles.h"
#include "base/crc32.h"
#include "base/encoding.h"
#include "base/error.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/var_dump.h"
#include "saves/game_saves.h"
#include "saves/save_file.h"
#include "saves/section_forms.h"
#include "scenario/pages.h"
#include "scenario/save_entries.h"

namespace nova {

namespace {

const char* const kTypeNames[] = {"none",   "audio",     "box",      "button",   "cinema",     "edit",
                                  "fire",   "http",      "images",   "label",    "map",        "memo",
                                  "menu",   "message",   "particle", "timer",    "video",      "sound",
                                  "mapimg", "wave",      "tile",     "slider",   "scrollbar",  "gauge",
                                  "cglabel", "prevmenu", "propmotion", "cabinet"};

std::string TypeName(int code) {
  return code >= 0 && code < static_cast<int>(std::size(kTypeNames)) ? kTypeNames[code] : "type " + std::to_string(code);
}

std::string Quoted(const std::string& sjis) { return "\"" + SjisToUtf8(sjis) + "\""; }

std::string Plural(int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::vector<std::string> DumpLines(TParamCollection& store) {
  std::ostringstream out;
  DumpVars(store, out);
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// ---- sections of a saved game ----

std::string DescribeScene(TStream& s, int32_t version, const TObjectFactory* factory) {
  TNovaBaseList scene;
  scene.SetFactory(factory);
  scene.LoadScene(s, version);
  std::map<std::string, int> kinds;
  int objects = 0;
  for (int i = 0; i < scene.ObjectCount(); ++i) {
    TNovaObject* o = scene.Object(i);
    if (o == &scene.GetScreen(0) || o == &scene.GetScreen(1)) continue;
    ++objects;
    ++kinds[TypeName(o->TypeCode())];
  }
  std::string text = std::to_string(scene.ScreenWidth()) + "x" + std::to_string(scene.ScreenHeight()) + ", screen " +
                     std::to_string(scene.DisplayedIndex()) + " displayed, " + Plural(objects, "object", "objects");
  if (!kinds.empty()) {
    text += " (";
    bool first = true;
    for (const auto& [kind, n] : kinds) {
      text += (first ? "" : ", ") + kind + " " + std::to_string(n);
      first = false;
    }
    text += ")";
  }
  text += ", " + Plural(scene.Events().Count(), "event", "events");
  if (TNovaControl* focus = scene.Focus()) text += ", focus " + Quoted(focus->Name());
  return text;
}

std::string DescribeHistory(TStream& s, int32_t version) {
  THistorySummary h = ScanHistory(s, version);
  return Plural(h.Formats, "format", "formats") + ", " + Plural(h.References, "reference", "references") + ", " +
         Plural(h.RowPages, "row page", "row pages") + " (" + Plural(h.Rows, "row", "rows") + ")";
}

std::vector<std::string> ReadStrings(TStream& s) {
  const int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining() / 4) RaiseError("bad string count");
  std::vector<std::string> list;
  for (int32_t i = 0; i < n; ++i) list.push_back(s.ReadString());
  return list;
}

// One call-stack frame record; its page and index.
std::string ScanFrame(TStream& s) {
  const std::string page = s.ReadString();
  const int32_t index = s.ReadInt32();
  s.ReadByte();
  s.ReadByte();
  s.ReadString();
  ReadStrings(s);
  s.ReadString();
  const int32_t size = s.ReadInt32();
  if (size < 0 || size > s.Remaining()) RaiseError("bad command state size");
  s.Seek(size, SeekOrigin::Current);
  if (uint8_t type = s.ReadByte()) {
    std::unique_ptr<TCustomParam> value = CreateParam(type);
    if (!value) RaiseError("bad result type");
    value->LoadFromStream(s);
  }
  return SjisToUtf8(page) + "@" + std::to_string(index);
}

// The variables and the tables that follow the interpreter, read to the end of the entry.
bool RestReadsWhole(TStream& s, int64_t from, int32_t version) {
  const int64_t back = s.Position();
  bool whole = false;
  try {
    s.SetPosition(from);
    s.ClearReadPastEnd();
    TParamCollection store;
    store.LoadVars(s, version);
    if (version > 122) ScanTables(s, false);
    whole = !s.ReadPastEnd() && s.Remaining() == 0;
  } catch (const std::exception&) {
  }
  s.ClearReadPastEnd();
  s.SetPosition(back);
  return whole;
}

// The state of the command that was running: read by that command when its page can be had,
// else the length is found among the forms the player's commands write (the wait, the flip,
// the object waits; tagged and older).
std::string SkipCommandState(TStream& s, const std::string& page, int32_t index, int32_t version) {
  if (FileManager().Exists(page)) {
    TPage p;
    p.Load(page);
    if (!p.Contains(index)) return "";
    p.Command(index)->LoadState(s);
    return ", running command read by its page";
  }
  const int64_t at = s.Position();
  const std::string head = s.ReadBytes(11);
  s.SetPosition(at);
  std::vector<int64_t> lengths;
  auto stringAt = [&](size_t offset) -> int64_t {
    if (head.size() < offset + 4) return -1;
    int32_t n = 0;
    std::memcpy(&n, head.data() + offset, 4);
    return n < 0 ? -1 : int64_t{n};
  };
  if (head.compare(0, 4, "nova") == 0) {
    lengths = {7 + 9, 7 + 2};
    if (int64_t n = stringAt(7); n >= 0) lengths.push_back(7 + 4 + n + 2);
  } else {
    lengths = {8, 0};
    if (int64_t n = stringAt(0); n >= 0) lengths.push_back(4 + n + 1);
  }
  lengths.push_back(0);
  for (int64_t n : lengths) {
    if (n > s.Remaining() || !RestReadsWhole(s, at + n, version)) continue;
    s.SetPosition(at + n);
    return ", running command's state " + std::to_string(n) + " bytes (told by its form)";
  }
  RaiseError("the running command's state cannot be told without the game's pages (--game)");
}

std::string DescribeInterpreter(TStream& s, int32_t version) {
  const std::string page = s.ReadString();
  const int32_t index = s.ReadInt32();
  s.ReadByte();  // continue
  const uint8_t entered = s.ReadByte();
  const int32_t state = s.ReadInt32();
  const std::string sender = s.ReadString();
  const std::vector<std::string> args = ReadStrings(s);
  ScanFrame(s);  // the spare frame
  const int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining()) RaiseError("bad frame count");
  std::string frames;
  for (int32_t i = 0; i < n; ++i) frames += (i ? ", " : "") + ScanFrame(s);
  const int32_t level = version >= 116 ? s.ReadInt32() : 2;
  CheckWhole(s, "interpreter");
  std::string text = "page " + Quoted(page) + " index " + std::to_string(index) + (entered ? " (entered)" : "") +
                     ", state " + std::to_string(state) + ", event level " + std::to_string(level);
  if (!sender.empty()) text += ", sender " + Quoted(sender);
  if (!args.empty()) text += ", " + Plural(static_cast<int64_t>(args.size()), "argument", "arguments");
  text += ", " + Plural(n, "frame", "frames");
  if (n > 0) text += " (" + frames + ")";
  if (entered && !page.empty()) text += SkipCommandState(s, page, index, version);
  return text;
}

// Reads one section through read, which gives its summary; a failure becomes the entry's
// error, naming the section and where it starts.
bool ReadSection(TStream& s, TEntryReport& e, const char* name, const std::function<std::string()>& read) {
  const int64_t at = s.Position();
  try {
    std::string summary = read();
    CheckWhole(s, name);
    e.Sections.push_back(TSectionReport{name, at, s.Position() - at, summary});
    return true;
  } catch (const std::exception& err) {
    e.Error = std::string(name) + " at byte " + std::to_string(at) + ": " + SjisToUtf8(err.what());
    return false;
  }
}

void DescribeGame(TStream& s, TEntryReport& e, bool details, const TObjectFactory* factory) {
  s.ClearReadPastEnd();
  e.Version = s.ReadInt32();
  e.Caption = s.ReadString();
  e.AfterLoadPage = s.ReadString();
  e.AfterLoadIndex = s.ReadInt32();
  if (s.ReadPastEnd()) {
    e.Error = "the header is cut short";
    return;
  }
  if (!details) return;
  if (e.Version < kOldestGameSaveVersion || e.Version > kGameSaveVersion) {
    e.Error = "version " + std::to_string(e.Version) + " is not one the player reads";
    return;
  }
  const int32_t v = e.Version;
  auto section = [&](const char* name, const std::function<std::string()>& read) {
    return ReadSection(s, e, name, read);
  };
  if (!section("scene", [&] { return DescribeScene(s, v, factory); })) return;
  if (!section("history", [&] { return DescribeHistory(s, v); })) return;
  if (v <= 100 && !section("read marks", [&] {
        TReadMarkSummary r = ScanReadMarks(s, v);
        return Plural(r.Keys, "page", "pages") + ", " + Plural(r.Marks, "mark", "marks") + " (dropped on loading)";
      }))
    return;
  if (!section("interpreter", [&] { return DescribeInterpreter(s, v); })) return;
  if (!section("variables", [&] {
        TParamCollection store;
        store.LoadVars(s, v);
        e.Variables = DumpLines(store);
        return Plural(static_cast<int64_t>(e.Variables.size()), "variable", "variables") + ", @TextDelay " +
               std::to_string(store.TextDelay) + ", @Cursor " + Quoted(store.Cursor);
      }))
    return;
  if (v > 122 && !section("tables", [&] {
        TTableSummary t = ScanTables(s, false);
        return Plural(static_cast<int64_t>(t.Names.size()), "table", "tables") + ", " +
               Plural(t.Records, "record", "records") + (t.Active.empty() ? "" : ", active " + Quoted(t.Active));
      }))
    return;
  if (s.Remaining() > 0) e.Error = std::to_string(s.Remaining()) + " bytes follow the last section";
}

void DescribeStatus(TStream& s, TEntryReport& e, bool details) {
  s.ClearReadPastEnd();
  const std::string header = s.ReadBytes(9);
  int32_t v = 0;
  if (header.size() == 9 && header.compare(0, 6, "Status") == 0) {
    for (size_t i = 6; i < 9; ++i) {
      if (header[i] < '0' || header[i] > '9') {
        v = 0;
        break;
      }
      v = v * 10 + (header[i] - '0');
    }
  } else {
    s.SetPosition(0);
  }
  e.Version = v;
  if (!details) return;
  auto section = [&](const char* name, const std::function<std::string()>& read) {
    return ReadSection(s, e, name, read);
  };
  if (!section("status variables", [&] {
        TParamCollection store;
        store.LoadStatusVars(s, v);
        e.Variables = DumpLines(store);
        return Plural(static_cast<int64_t>(e.Variables.size()), "variable", "variables");
      }))
    return;
  if (!section("read marks", [&] {
        TReadMarkSummary r = ScanReadMarks(s, v);
        return Plural(r.Keys, "page", "pages") + ", " + Plural(r.Marks, "mark", "marks");
      }))
    return;
  if (v > 100 && !section("dither", [&] { return std::string(s.ReadByte() ? "on" : "off"); })) return;
  if (v > 102 && !section("tables", [&] {
        TTableSummary t = ScanTables(s, true);
        return Plural(static_cast<int64_t>(t.Names.size()), "table", "tables") + ", " +
               Plural(t.Records, "record", "records");
      }))
    return;
  if (s.Remaining() > 0) e.Error = std::to_string(s.Remaining()) + " bytes follow the last section";
}

}  // namespace

TSaveFileReport DescribeSaveFile(const std::filesystem::path& path, bool details, const TObjectFactory* factory) {
  TSaveFileReport report;
  TSaveFile file(path);
  file.Open();
  report.Exists = file.Exists();
  report.Damaged = file.Damaged();
  report.DamageReason = SjisToUtf8(file.DamageReason());
  TVrFileCollection& archive = file.Archive();
  for (int i = 0; i < archive.EntryCount(); ++i) {
    TVrFile& entry = *archive.Entry(i);
    TEntryReport e;
    e.Name = entry.Name();
    e.Slot = SlotOfEntryName(e.Name);
    e.Kind = e.Slot >= 0                        ? TEntryReport::Game
             : e.Name == kStatusEntryName        ? TEntryReport::Status
             : IsScenarioFileName(e.Name)        ? TEntryReport::ScenarioFile
                                                 : TEntryReport::Other;
    e.StoredSize = entry.Size;
    e.Compressed = entry.Stored == 0;
    TKtMemoryStream data;
    try {
      file.Read(e.Name, data);
    } catch (const std::exception& err) {
      e.Error = SjisToUtf8(err.what());
      report.Entries.push_back(std::move(e));
      continue;
    }
    e.Size = data.Size();
    if (entry.Checksum == 0 && entry.FileAge == 0) {
      // Archives before version 101 record no checksums.
    } else if (entry.RawChecksum) {
      e.ChecksumOk = Crc32(data.Memory(), data.Data().size()) == entry.Checksum;
    } else if (TKtBigStream* stream = archive.Stream()) {
      std::string stored(static_cast<size_t>(entry.Size), '\0');
      stream->SetPosition(entry.Offset);
      stream->Read(stored.data(), entry.Size);
      e.ChecksumOk = Crc32(stored.data(), stored.size()) == entry.Checksum;
    }
    data.SetPosition(0);
    if (e.Kind == TEntryReport::Game) DescribeGame(data, e, details, factory);
    else if (e.Kind == TEntryReport::Status) DescribeStatus(data, e, details);
    report.Entries.push_back(std::move(e));
  }
  return report;
}

}  // namespace nova
