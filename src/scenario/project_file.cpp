// "nova.npb" fields in file order, each added in the version noted beside it.
#include "scenario/project_file.h"

namespace nova {
namespace {

void ReadStatusVar(TStream& s, TStatusVarDef& v) {
  v.Type = s.ReadByte();
  v.Name = s.ReadString();
  switch (v.Type) {
    case 1: v.IntValue = s.ReadInt32(); break;
    case 2: v.FloatValue = s.ReadExtended(); break;
    case 3: v.FlagValue = s.ReadByte(); break;
    case 4: v.StrValue = s.ReadString(); break;
    default: break;
  }
}

void WriteStatusVar(TStream& s, const TStatusVarDef& v) {
  s.WriteByte(v.Type);
  s.WriteString(v.Name);
  switch (v.Type) {
    case 1: s.WriteInt32(v.IntValue); break;
    case 2: s.WriteExtended(v.FloatValue); break;
    case 3: s.WriteByte(v.FlagValue); break;
    case 4: s.WriteString(v.StrValue); break;
    default: break;
  }
}

// Fields 1..14; false when the version is too new.
bool ReadHead(TStream& s, TProjectFile& p) {
  p.Version = s.ReadInt32();
  if (p.Version > kProjectVersionMax) return false;
  p.Name = s.ReadString();
  p.ScreenWidth = s.ReadInt32();
  p.ScreenHeight = s.ReadInt32();
  p.DisplayParam1 = s.ReadInt32();
  p.DisplayParam2 = s.ReadInt32();
  p.StartPage = s.ReadString();
  p.ExitPage = p.Version >= 110 ? s.ReadString() : std::string();
  p.SettingsKey = s.ReadString();
  p.ImageKey = s.ReadInt32();
  p.WriteStatus = p.Version >= 104 ? s.ReadByte() : 1;
  p.SleepFlag = p.Version >= 106 ? s.ReadByte() : 0;
  p.MediaExtensions = p.Version >= 109 ? s.ReadString() : std::string(".wav.wma.ogg.mid");
  p.DiskPrompt = s.ReadString();
  p.QuitText = s.ReadString();
  int32_t count = s.ReadInt32();
  p.StatusVars.clear();
  // Each definition takes at least its type byte; a count past the data stops at the end.
  for (int32_t i = 0; i < count && s.Remaining() > 0; ++i) {
    TStatusVarDef v;
    ReadStatusVar(s, v);
    p.StatusVars.push_back(std::move(v));
  }
  return true;
}

void ReadFolderDisks(TStream& s, TFolderDiskList& list) {
  list.clear();
  int32_t count = s.ReadInt32();
  for (int32_t i = 0; i < count && s.Remaining() > 0; ++i) {
    std::string folder = s.ReadString();
    int32_t disk = s.ReadInt32();
    list.emplace_back(std::move(folder), disk);
  }
}

}  // namespace

bool ReadProjectFile(TStream& s, TProjectFile& project) {
  if (!ReadHead(s, project)) return false;
  ReadFolderDisks(s, project.FolderDisks);
  return true;
}

bool ReadProjectFolderDisks(TStream& s, TFolderDiskList& list) {
  TProjectFile skipped;
  if (!ReadHead(s, skipped)) return false;
  ReadFolderDisks(s, list);
  return true;
}

void WriteProjectFile(TStream& s, const TProjectFile& p) {
  s.WriteInt32(p.Version);
  s.WriteString(p.Name);
  s.WriteInt32(p.ScreenWidth);
  s.WriteInt32(p.ScreenHeight);
  s.WriteInt32(p.DisplayParam1);
  s.WriteInt32(p.DisplayParam2);
  s.WriteString(p.StartPage);
  if (p.Version >= 110) s.WriteString(p.ExitPage);
  s.WriteString(p.SettingsKey);
  s.WriteInt32(p.ImageKey);
  if (p.Version >= 104) s.WriteByte(p.WriteStatus);
  if (p.Version >= 106) s.WriteByte(p.SleepFlag);
  if (p.Version >= 109) s.WriteString(p.MediaExtensions);
  s.WriteString(p.DiskPrompt);
  s.WriteString(p.QuitText);
  s.WriteInt32(static_cast<int32_t>(p.StatusVars.size()));
  for (const TStatusVarDef& v : p.StatusVars) WriteStatusVar(s, v);
  s.WriteInt32(static_cast<int32_t>(p.FolderDisks.size()));
  for (const auto& [folder, disk] : p.FolderDisks) {
    s.WriteString(folder);
    s.WriteInt32(disk);
  }
}

}  // namespace nova
