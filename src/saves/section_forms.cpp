#include "saves/section_forms.h"

#include "base/error.h"

namespace nova {

namespace {

// A count that the rest of the stream can hold, each item taking at least minBytes.
int32_t ReadCount(TStream& s, int64_t minBytes, const char* what) {
  const int32_t n = s.ReadInt32();
  if (s.ReadPastEnd() || n < 0 || (minBytes > 0 && n > s.Remaining() / minBytes))
    RaiseError(Format("%s: bad count %d", what, n));
  return n;
}

void SkipInt32s(TStream& s, int64_t n) {
  for (int64_t i = 0; i < n; ++i) s.ReadInt32();
}

void ScanRowPage(TStream& s, int32_t version, THistorySummary& sum) {
  const int32_t rows = ReadCount(s, 20, "history rows");
  for (int32_t r = 0; r < rows; ++r) {
    s.ReadString();
    SkipInt32s(s, 4);
    if (version > 123) s.ReadString();
  }
  s.ReadInt32();  // total height
  sum.Rows += rows;
  ++sum.RowPages;
}

void ScanOneHistory(TStream& s, int32_t version, THistorySummary& sum) {
  if (version < 113) s.ReadString();
  if (version > 112) {
    const int32_t n = ReadCount(s, 20, "history references");
    for (int32_t i = 0; i < n; ++i) {
      s.ReadString();
      SkipInt32s(s, 4);
    }
    sum.References += n;
  } else {
    const int32_t n = ReadCount(s, 20, "history references");
    for (int32_t i = 0; i < n; ++i) s.ReadString();
    SkipInt32s(s, int64_t{n} * 4);  // command indices, text page indices, n x (width, height)
    sum.References += n;
  }
  s.ReadString();     // pending page name
  SkipInt32s(s, 4);   // command index, text page index, width, height
  s.ReadString();     // pending box name
  if (version > 112) {
    SkipInt32s(s, 1 + 6 + 2);  // MaxCount, text-object settings, glyph range
    const int32_t pages = ReadCount(s, 8, "history pages");
    for (int32_t p = 0; p < pages; ++p) ScanRowPage(s, version, sum);
  }
  if (version > 123) s.ReadString();
  CheckWhole(s, "history");
}

}  // namespace

void CheckWhole(TStream& s, const char* what) {
  if (s.ReadPastEnd()) RaiseError(Format("%s: the saved data ends early", what));
}

void WriteEmptyHistory(TStream& s) {
  s.WriteInt32(1);
  s.WriteString(std::string());  // the default format
  for (int i = 0; i < 6; ++i) s.WriteInt32(0);
  s.WriteInt32(0);               // references
  s.WriteString(std::string());  // nothing pending
  for (int i = 0; i < 4; ++i) s.WriteInt32(0);
  s.WriteString(std::string());
  for (int i = 0; i < 1 + 6 + 2; ++i) s.WriteInt32(0);
  s.WriteInt32(0);  // row pages
  s.WriteString(std::string());
}

THistorySummary ScanHistory(TStream& s, int32_t version) {
  THistorySummary sum;
  if (version < 135) {
    sum.Formats = 1;
    ScanOneHistory(s, version, sum);
    return sum;
  }
  sum.Formats = ReadCount(s, 28, "history formats");
  for (int32_t f = 0; f < sum.Formats; ++f) {
    s.ReadString();
    SkipInt32s(s, 6);
    ScanOneHistory(s, version, sum);
  }
  return sum;
}

void WriteEmptyReadMarks(TStream& s) {
  s.WriteInt32(0);
  s.WriteString(std::string());
  s.WriteInt32(0);
  s.WriteInt32(0);
  s.WriteString(std::string());
}

TReadMarkSummary ScanReadMarks(TStream& s, int32_t version) {
  TReadMarkSummary sum;
  if (version < 100) return sum;
  sum.Keys = ReadCount(s, 8, "read marks");
  for (int32_t i = 0; i < sum.Keys; ++i) {
    s.ReadString();
    const int32_t n = ReadCount(s, 8, "read marks");
    SkipInt32s(s, int64_t{n} * 2);
    sum.Marks += n;
  }
  s.ReadString();
  SkipInt32s(s, 2);
  s.ReadString();
  CheckWhole(s, "read marks");
  return sum;
}

void WriteEmptyTables(TStream& s, bool isStatus) {
  s.WriteInt32(100);
  s.WriteInt32(0);
  if (!isStatus) s.WriteString(std::string());
}

TTableSummary ScanTables(TStream& s, bool isStatus) {
  TTableSummary sum;
  sum.Version = s.ReadInt32();
  const int32_t tables = ReadCount(s, 18, "data tables");
  for (int32_t t = 0; t < tables; ++t) {
    s.ReadByte();  // kind
    sum.Names.push_back(s.ReadString());
    s.ReadByte();  // status
    const int32_t fields = ReadCount(s, 9, "table fields");
    int64_t recordSize = 0;
    for (int32_t f = 0; f < fields; ++f) {
      const int32_t size = s.ReadInt32();
      if (size < 0) RaiseError(Format("data tables: bad field size %d", size));
      recordSize += size;
      s.ReadString();
      s.ReadByte();
    }
    const int32_t records = s.ReadInt32();
    if (s.ReadPastEnd() || records < 0 || (recordSize > 0 && records > (s.Remaining() - 4) / recordSize))
      RaiseError(Format("data tables: bad record count %d", records));
    s.Seek(recordSize * records, SeekOrigin::Current);
    s.ReadInt32();  // RecNo
    sum.Records += records;
  }
  if (!isStatus) sum.Active = s.ReadString();
  CheckWhole(s, "data tables");
  return sum;
}

}  // namespace nova
