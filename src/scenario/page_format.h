#pragma once
// The byte form of a compiled page: version, result type, the property-set table and the
// command records. A record is read into a generic form (header + fields in layout order) that
// the command classes are built from and that the authoring tools write back byte for byte.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "params/parser.h"
#include "params/property_table.h"

namespace nova {

constexpr int kCommandCount = 61;    // codes 0..60

constexpr int kPropSetBytes = 21;    // bits over the property ids
constexpr int32_t kPageVersionMin = 103;
constexpr int32_t kPageVersionMax = 112;

using TPropSet = std::array<uint8_t, kPropSetBytes>;
inline bool PropSetHas(const TPropSet& s, int id) { return (s[static_cast<size_t>(id / 8)] >> (id % 8)) & 1; }
inline void PropSetAdd(TPropSet& s, int id) { s[static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1u << (id % 8)); }

// Kinds of field in a record, in the order the layout gives them.
enum class TFieldKind : uint8_t {
  Expr,        // one compiled expression
  String,      // int32 length + bytes
  Int32,
  Byte,
  ExprList,    // int32 k, then k expressions
  Properties,  // one expression per property id set in the page's slot for the code, ascending
  TextBlock,   // int32 size b, then b bytes of marked-up text
};

struct TFieldLayout {
  TFieldKind Kind;
  const char* Name;    // field name used by the authoring tools ("cond", "page", "target", ...)
  int32_t MinVersion;  // the field exists only in pages of this version or later (0: always)
};

class TCommand;
class TPage;
using TCommandFactory = std::unique_ptr<TCommand> (*)(TPage* page);

// One row of the command table: everything about a command code in one place.
struct TCommandLayout {
  int Code;
  const char* Name;          // English name ("If", "Elseif", ...)
  const char* JapaneseName;  // editor-facing name, Shift-JIS
  TCommandFactory Create;    // the command class of the code
  int ForcedContinue;        // -1: the record's flag counts; 0 or 1: the class's constant
  bool AlwaysCommentedOut;   // Comment
  std::vector<TFieldLayout> Fields;
};

const TCommandLayout& CommandLayout(int code);  // code 0..60 ("不正なコマンド" otherwise)
int FindCommandByName(const std::string& englishName);  // -1 when unknown
bool IsPropertyCommand(int code);  // the record carries object properties

// One value of a record field.
struct TFieldValue {
  TFieldKind Kind;
  std::unique_ptr<TNovaParser> Expr;                  // Expr
  std::string Str;                                    // String, TextBlock
  int32_t Int = 0;                                    // Int32, Byte
  std::vector<std::unique_ptr<TNovaParser>> Exprs;    // ExprList
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> Props{};  // Properties (set ids only)
};

struct TCommandRecord {
  uint8_t CodeByte = 0;  // as stored (the interpreter uses the low 7 bits)
  int32_t Indent = 0;
  uint8_t CommentedOut = 0;
  uint8_t Continue = 0;
  int32_t Line = 0;
  std::vector<TFieldValue> Fields;  // one per layout field present in this page version
  int Code() const { return CodeByte & 0x7F; }
};

struct TPageFile {
  int32_t Version = kPageVersionMax;
  uint8_t ResultType = 1;
  // Property-set records as stored (record i belongs to code i); kept whole so that a page is
  // written back byte for byte, including records past code 60 and bytes past the 21st.
  int32_t PropSetRecordSize = kPropSetBytes;
  std::vector<std::string> PropSetRecords;
  std::array<TPropSet, kCommandCount> PropSets{};  // the slots the loader uses
  std::vector<TCommandRecord> Commands;
  // Bytes after the last command as stored (for a page newer than the reader: everything
  // after the version), written back unchanged.
  std::string Trailing;
};

// Refills the loader's slots from the stored property-set records (first 21 bytes of each of
// records 0..60; a shorter record leaves the rest zero).
void SyncPropSets(TPageFile& page);

// Reads a whole page. Version > 112: the page has no commands (no error). Version <= 102
// raises nothing here; the caller refuses such a page. A code above 60 raises "不正なコマンド".
void ReadPageFile(TStream& s, TPageFile& page);
void WritePageFile(TStream& s, const TPageFile& page);
// One record after its code byte (used by both of the above).
void ReadCommandRecord(TStream& s, const TPageFile& page, TCommandRecord& rec);
void WriteCommandRecord(TStream& s, const TPageFile& page, const TCommandRecord& rec);

}  // namespace nova
