#include "archive/install_set.h"

#include "base/encoding.h"
#include "base/error.h"

namespace nova {
namespace {

[[noreturn]] void Broken(const std::string& source) {
  static const std::string text = Utf8ToSjis(":データが壊れています");
  RaiseError(source + text);
}

// A count of records of at least minBytes each that the rest of the stream can hold.
int32_t ReadCount(TStream& s, int64_t minBytes, const std::string& source) {
  int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining() / minBytes) Broken(source);
  return n;
}

int64_t ReadValue(TStream& s, int version) { return version < 100 ? s.ReadInt32() : s.ReadInt64(); }
void WriteValue(TStream& s, int version, int64_t v) {
  if (version < 100) s.WriteInt32(static_cast<int32_t>(v));
  else s.WriteInt64(v);
}

}  // namespace

void TNovaInstallSet::Load(TStream& s, const std::string& source) {
  *this = TNovaInstallSet();
  int64_t start = s.Position();
  std::string tag = s.ReadBytes(5);
  Version = 0;
  if (tag.size() == 5 && tag[0] == 'i' && tag[1] == 's') {
    for (int i = 2; i < 5; ++i) {
      if (tag[i] < '0' || tag[i] > '9') Broken(source);
      Version = Version * 10 + (tag[i] - '0');
    }
  } else {
    s.SetPosition(start);
  }
  const int v = Version;
  DiskIndex = s.ReadInt32();
  ProjectName = s.ReadString();
  for (std::string& str : Strings) str = s.ReadString();
  Byte1 = s.ReadByte();
  String2 = s.ReadString();
  Byte2 = s.ReadByte();
  int32_t k = ReadCount(s, 4 * (v < 100 ? 4 : 8), source);
  String3 = s.ReadString();
  Int1 = s.ReadInt32();
  Byte3 = s.ReadByte();
  Byte4 = s.ReadByte();
  String4 = s.ReadString();
  String5 = s.ReadString();
  Items.resize(static_cast<size_t>(k));
  for (Item& item : Items)
    for (int64_t& value : item.Values) value = ReadValue(s, v);
  for (int64_t& value : Totals) value = ReadValue(s, v);
  Byte5 = s.ReadByte();
  if (v > 100) Byte6 = s.ReadByte();
  if (v > 101) {
    int32_t m = ReadCount(s, 4, source);
    for (int32_t i = 0; i < m; ++i) {
      std::string name = s.ReadString();
      if (!name.empty()) Files.push_back(std::move(name));
    }
  }
  if (v > 102) DataComplete = s.ReadByte();
  if (v > 103) Byte7 = s.ReadByte();
  if (v > 104) Byte8 = s.ReadByte();
  if (v > 105) {
    int32_t m = ReadCount(s, 4, source);
    for (int32_t i = 0; i < m; ++i) List2.push_back(s.ReadString());
  }
  if (v > 106) String6 = s.ReadString();
  if (v > 107) {
    String7 = s.ReadString();
    String8 = s.ReadString();
  }
}

void TNovaInstallSet::Save(TStream& s, int version) const {
  const int v = version;
  if (v > 0) s.WriteBytes(Format("is%03d", v % 1000));
  s.WriteInt32(DiskIndex);
  s.WriteString(ProjectName);
  for (const std::string& str : Strings) s.WriteString(str);
  s.WriteByte(Byte1);
  s.WriteString(String2);
  s.WriteByte(Byte2);
  s.WriteInt32(static_cast<int32_t>(Items.size()));
  s.WriteString(String3);
  s.WriteInt32(Int1);
  s.WriteByte(Byte3);
  s.WriteByte(Byte4);
  s.WriteString(String4);
  s.WriteString(String5);
  for (const Item& item : Items)
    for (int64_t value : item.Values) WriteValue(s, v, value);
  for (int64_t value : Totals) WriteValue(s, v, value);
  s.WriteByte(Byte5);
  if (v > 100) s.WriteByte(Byte6);
  if (v > 101) {
    s.WriteInt32(static_cast<int32_t>(Files.size()));
    for (const std::string& f : Files) s.WriteString(f);
  }
  if (v > 102) s.WriteByte(DataComplete);
  if (v > 103) s.WriteByte(Byte7);
  if (v > 104) s.WriteByte(Byte8);
  if (v > 105) {
    s.WriteInt32(static_cast<int32_t>(List2.size()));
    for (const std::string& f : List2) s.WriteString(f);
  }
  if (v > 106) s.WriteString(String6);
  if (v > 107) {
    s.WriteString(String7);
    s.WriteString(String8);
  }
}

void TNovaInstallSet::LoadFromFile(const std::filesystem::path& localPath) {
  TKtMemoryStream m;
  m.LoadFromFile(localPath);
  Load(m, HostPathText(localPath));
}

void TNovaInstallSet::SaveToFile(const std::filesystem::path& localPath, int version) const {
  TKtMemoryStream m;
  Save(m, version);
  m.SaveToFile(localPath);
}

}  // namespace nova
