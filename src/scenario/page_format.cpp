// Reading and writing compiled pages in their generic record form.
#include "scenario/page_format.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/error.h"

namespace nova {
namespace {

const std::string& BadCommandText() {
  static const std::string text = Utf8ToSjis("不正なコマンド");
  return text;
}

bool FieldPresent(const TFieldLayout& f, int32_t version) { return f.MinVersion == 0 || version >= f.MinVersion; }

std::unique_ptr<TNovaParser> ReadExpr(TStream& s) {
  auto e = std::make_unique<TNovaParser>();
  e->LoadFromStream(s);
  return e;
}

void WriteExpr(TStream& s, const TNovaParser* e) {
  if (e) {
    e->SaveToStream(s);
  } else {
    s.WriteInt32(0);  // an empty expression: no operations
  }
}

}  // namespace

void SyncPropSets(TPageFile& page) {
  for (TPropSet& slot : page.PropSets) slot.fill(0);
  size_t n = std::min(page.PropSetRecords.size(), static_cast<size_t>(kCommandCount));
  for (size_t i = 0; i < n; ++i) {
    const std::string& r = page.PropSetRecords[i];
    size_t k = std::min(r.size(), static_cast<size_t>(kPropSetBytes));
    for (size_t j = 0; j < k; ++j) page.PropSets[i][j] = static_cast<uint8_t>(r[j]);
  }
}

void ReadCommandRecord(TStream& s, const TPageFile& page, TCommandRecord& rec) {
  const TCommandLayout& layout = CommandLayout(rec.Code());
  rec.Indent = s.ReadInt32();
  rec.CommentedOut = s.ReadByte();
  rec.Continue = s.ReadByte();
  rec.Line = s.ReadInt32();
  rec.Fields.clear();
  for (const TFieldLayout& f : layout.Fields) {
    if (!FieldPresent(f, page.Version)) continue;
    TFieldValue v;
    v.Kind = f.Kind;
    switch (f.Kind) {
      case TFieldKind::Expr:
        v.Expr = ReadExpr(s);
        break;
      case TFieldKind::String:
        v.Str = s.ReadString();
        break;
      case TFieldKind::Int32:
        v.Int = s.ReadInt32();
        break;
      case TFieldKind::Byte:
        v.Int = s.ReadByte();
        break;
      case TFieldKind::ExprList: {
        int32_t k = s.ReadInt32();
        // Every expression takes at least its 4-byte count, so a count past the data is cut.
        for (int32_t i = 0; i < k && s.Remaining() > 0; ++i) v.Exprs.push_back(ReadExpr(s));
        break;
      }
      case TFieldKind::Properties: {
        const TPropSet& set = page.PropSets[static_cast<size_t>(rec.Code())];
        for (int id = 0; id < kPropertyCount; ++id)
          if (PropSetHas(set, id)) v.Props[static_cast<size_t>(id)] = ReadExpr(s);
        break;
      }
      case TFieldKind::TextBlock:
        v.Str = s.ReadString();
        break;
    }
    rec.Fields.push_back(std::move(v));
  }
}

void WriteCommandRecord(TStream& s, const TPageFile& page, const TCommandRecord& rec) {
  const TCommandLayout& layout = CommandLayout(rec.Code());
  s.WriteInt32(rec.Indent);
  s.WriteByte(rec.CommentedOut);
  s.WriteByte(rec.Continue);
  s.WriteInt32(rec.Line);
  size_t next = 0;
  for (const TFieldLayout& f : layout.Fields) {
    if (!FieldPresent(f, page.Version)) continue;
    const TFieldValue* v = next < rec.Fields.size() ? &rec.Fields[next] : nullptr;
    ++next;
    if (v && v->Kind != f.Kind) v = nullptr;  // a mismatched field writes as empty
    switch (f.Kind) {
      case TFieldKind::Expr:
        WriteExpr(s, v ? v->Expr.get() : nullptr);
        break;
      case TFieldKind::String:
      case TFieldKind::TextBlock:
        s.WriteString(v ? v->Str : std::string());
        break;
      case TFieldKind::Int32:
        s.WriteInt32(v ? v->Int : 0);
        break;
      case TFieldKind::Byte:
        s.WriteByte(static_cast<uint8_t>(v ? v->Int : 0));
        break;
      case TFieldKind::ExprList:
        s.WriteInt32(v ? static_cast<int32_t>(v->Exprs.size()) : 0);
        if (v)
          for (const auto& e : v->Exprs) WriteExpr(s, e.get());
        break;
      case TFieldKind::Properties: {
        const TPropSet& set = page.PropSets[static_cast<size_t>(rec.Code())];
        for (int id = 0; id < kPropertyCount; ++id)
          if (PropSetHas(set, id)) WriteExpr(s, v ? v->Props[static_cast<size_t>(id)].get() : nullptr);
        break;
      }
    }
  }
}

void ReadPageFile(TStream& s, TPageFile& page) {
  page.Commands.clear();
  page.PropSetRecords.clear();
  page.Trailing.clear();
  for (TPropSet& slot : page.PropSets) slot.fill(0);
  page.Version = s.ReadInt32();
  if (page.Version > kPageVersionMax) {
    page.Trailing = s.ReadBytes(s.Remaining());
    return;
  }
  page.ResultType = s.ReadByte();
  int32_t n = s.ReadInt32();
  page.PropSetRecordSize = s.ReadInt32();
  int32_t size = std::max<int32_t>(page.PropSetRecordSize, 0);
  // A count past the data stops at the end instead of piling up empty records.
  for (int32_t i = 0; i < n && s.Remaining() > 0; ++i) page.PropSetRecords.push_back(s.ReadBytes(size));
  SyncPropSets(page);
  int32_t c = s.ReadInt32();
  for (int32_t i = 0; i < c && s.Remaining() > 0; ++i) {
    TCommandRecord rec;
    rec.CodeByte = s.ReadByte();
    if (rec.Code() >= kCommandCount) RaiseError(BadCommandText());
    ReadCommandRecord(s, page, rec);
    page.Commands.push_back(std::move(rec));
  }
  page.Trailing = s.ReadBytes(s.Remaining());
}

void WritePageFile(TStream& s, const TPageFile& page) {
  s.WriteInt32(page.Version);
  if (page.Version > kPageVersionMax) {
    s.WriteBytes(page.Trailing);
    return;
  }
  s.WriteByte(page.ResultType);
  s.WriteInt32(static_cast<int32_t>(page.PropSetRecords.size()));
  s.WriteInt32(page.PropSetRecordSize);
  size_t size = static_cast<size_t>(std::max<int32_t>(page.PropSetRecordSize, 0));
  for (const std::string& r : page.PropSetRecords) {
    std::string bytes = r;
    bytes.resize(size, '\0');
    s.WriteBytes(bytes);
  }
  s.WriteInt32(static_cast<int32_t>(page.Commands.size()));
  for (const TCommandRecord& rec : page.Commands) {
    if (rec.Code() >= kCommandCount) RaiseError(BadCommandText());
    s.WriteByte(rec.CodeByte);
    WriteCommandRecord(s, page, rec);
  }
  s.WriteBytes(page.Trailing);
}

}  // namespace nova
