#include "support/page_builder.h"

namespace nova::test {

std::unique_ptr<TNovaParser> CompileExpr(const std::string& text) {
  if (text.empty()) return std::make_unique<TNovaParser>();
  return CompileExpression(Utf8ToSjis(text));
}

TFieldValue FExpr(const std::string& text) {
  TFieldValue v;
  v.Kind = TFieldKind::Expr;
  v.Expr = CompileExpr(text);
  return v;
}
TFieldValue FStr(const std::string& text) {
  TFieldValue v;
  v.Kind = TFieldKind::String;
  v.Str = Utf8ToSjis(text);
  return v;
}
TFieldValue FInt(int32_t i) {
  TFieldValue v;
  v.Kind = TFieldKind::Int32;
  v.Int = i;
  return v;
}
TFieldValue FByte(int32_t i) {
  TFieldValue v;
  v.Kind = TFieldKind::Byte;
  v.Int = i;
  return v;
}
TFieldValue FExprs(const std::vector<std::string>& texts) {
  TFieldValue v;
  v.Kind = TFieldKind::ExprList;
  for (const auto& t : texts) v.Exprs.push_back(CompileExpr(t));
  return v;
}
TFieldValue FText(const std::string& bytes) {
  TFieldValue v;
  v.Kind = TFieldKind::TextBlock;
  v.Str = bytes;
  return v;
}

PageBuilder::PageBuilder(int32_t version, uint8_t resultType) {
  file_.Version = version;
  file_.ResultType = resultType;
  file_.PropSetRecordSize = kPropSetBytes;
  file_.PropSetRecords.assign(kCommandCount, std::string(kPropSetBytes, '\0'));
}

int PageBuilder::Add(int code, int32_t indent, std::vector<TFieldValue> fields, uint8_t cont, int32_t line) {
  TCommandRecord rec;
  rec.CodeByte = static_cast<uint8_t>(code);
  rec.Indent = indent;
  rec.Continue = cont;
  rec.Line = line ? line : line_;
  ++line_;
  rec.Fields = std::move(fields);
  file_.Commands.push_back(std::move(rec));
  return static_cast<int>(file_.Commands.size()) - 1;
}

std::string PageBuilder::Bytes() const {
  TKtMemoryStream m;
  WritePageFile(m, file_);
  return m.Data();
}

void PageBuilder::Register(const std::string& name) const { RegisterFile(name, Bytes()); }

void FreshFileManager() {
  ResetFileManager(false);
  FileManager().AddMemoryArchive();
}

void RegisterFile(const std::string& name, const std::string& bytes) {
  TVrFileCollection* memory = FileManager().Archive(0);
  memory->RemoveFile(name);
  TVrFile* f = memory->AddMemoryFile(name);
  f->Memory->Assign(bytes);
}

}  // namespace nova::test
