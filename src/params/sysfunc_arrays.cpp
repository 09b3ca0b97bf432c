// Array functions: dimensions, fills, copies, joining and splitting, sorting and element runs.
#include <algorithm>

#include "base/encoding.h"
#include "base/sjis.h"
#include "base/text_lines.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

// "<function>:変数が見つかりません": a whole-variable argument that is no variable.
std::string NoVariable(const char* function) {
  static const std::string tail = Utf8ToSjis(":変数が見つかりません");
  return function + tail;
}
const std::string& TypeMismatch() {
  static const std::string text = Utf8ToSjis("CopyMem:変数の型があいません");
  return text;
}

// Element dst[di] := src[si] through the accessor of dst's type.
void CopyElement(TCustomParam& dst, int di, TCustomParam& src, int si) {
  switch (dst.GetParamType()) {
    case PT_INT: dst.SetIntAt(di, src.GetIntAt(si)); break;
    case PT_FLOAT: dst.SetFloatAt(di, src.GetFloatAt(si)); break;
    case PT_BOOL: dst.SetBoolAt(di, src.GetBoolAt(si)); break;
    case PT_STR: dst.SetStrAt(di, src.GetStrAt(si)); break;
    default: break;
  }
}

void FnGetArraySize(TSysFuncCall& c) {
  TCustomParam& v = c.Whole(0);
  c.ResultInt(c.Has(1) ? v.GetDim(v.GetDimCount() - 1 - c.Int(1)) : v.GetCount());
}

void FnSetArray(TSysFuncCall& c) {
  TCustomParam& v = c.RequireVariable(0, NoVariable("SetArray"));
  std::vector<int32_t> dims;
  for (int i = 1; i < c.Count; ++i) dims.push_back(c.Int(i));
  v.SetDims(dims);
}

void FnFillMem(TSysFuncCall& c) {
  TCustomParam& v = c.RequireVariable(0, NoVariable("FillMem"));
  switch (v.GetParamType()) {
    case PT_INT: v.FillInt(c.Int(1)); break;
    case PT_FLOAT: v.FillFloat(c.Float(1)); break;
    case PT_BOOL: v.FillBool(c.Bool(1)); break;
    case PT_STR: v.FillStr(c.Str(1)); break;
    default: break;
  }
}

void FnCopyMem(TSysFuncCall& c) {
  TCustomParam& dst = c.RequireVariable(0, NoVariable("CopyMem"));
  TCustomParam& src = c.RequireVariable(1, NoVariable("CopyMem"));
  if (dst.GetParamType() != src.GetParamType()) throw ENovaError(TypeMismatch());
  dst.CopyFrom(src);
}

void FnArrayToString(TSysFuncCall& c) {
  TCustomParam& v = c.Whole(0);
  std::string sep = c.Has(1) ? c.Str(1) : std::string("\r\n");
  std::string out;
  for (int i = 0, n = v.GetCount(); i < n; ++i) {
    if (i > 0) out += sep;
    out += v.GetStrAt(i);
  }
  c.ResultStr(out);
}

// Cuts at every single-byte character that is one of the separator bytes.
std::vector<std::string> SplitAtAny(const std::string& text, const std::string& seps) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLen(text, i);
    if (len == 1 && seps.find(text[i]) != std::string::npos) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
    i += len;
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

// Fills a whole variable with pieces: one dimension of their count, or the empty plain value.
void StorePieces(TCustomParam& v, const std::vector<std::string>& pieces) {
  if (pieces.empty()) {
    v.SetAsStr(std::string());
    return;
  }
  v.SetDims({static_cast<int32_t>(pieces.size())});
  for (size_t i = 0; i < pieces.size(); ++i) v.SetStrAt(static_cast<int>(i), pieces[i]);
}

void FnStringToArray(TSysFuncCall& c) {
  std::string text = c.Str(0);
  std::string sep = c.Has(2) ? c.Str(2) : std::string("\r\n");
  StorePieces(c.OutWhole(1), sep == "\r\n" ? SplitLines(text) : SplitAtAny(text, sep));
}

void FnIndexOfStr(TSysFuncCall& c) {
  bool caseSensitive = c.Has(2) ? c.Bool(2) : true;
  bool partial = c.Has(3) ? c.Bool(3) : false;
  c.ResultInt(c.Whole(0).IndexOfStr(c.Str(1), caseSensitive, partial));
}

void FnSortStr(TSysFuncCall& c) {
  TCustomParam& v = c.OutWhole(0);
  std::vector<std::string> items;
  for (int i = 0, n = v.GetCount(); i < n; ++i) items.push_back(v.GetStrAt(i));
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  for (size_t i = 0; i < items.size(); ++i) v.SetStrAt(static_cast<int>(i), items[i]);
}

void FnAddArray(TSysFuncCall& c) {
  TCustomParam& v = c.OutWhole(0);
  TCustomParam& src = c.Whole(1);
  int n = v.GetCount(), m = src.GetCount();
  if (v.GetDimCount() >= 2 || src.GetDimCount() >= 2) {
    c.ResultInt(n);
    return;
  }
  v.SetDims({n + m});
  for (int i = 0; i < m; ++i) CopyElement(v, n + i, src, i);
  c.ResultInt(n + m);
}

void FnInsertArray(TSysFuncCall& c) {
  TCustomParam& v = c.OutWhole(0);
  TCustomParam& src = c.Whole(2);
  int n = v.GetCount(), m = src.GetCount();
  if (v.GetDimCount() >= 2 || src.GetDimCount() >= 2) {
    c.ResultInt(n);
    return;
  }
  int pos = std::clamp(c.Int(1), 0, n);
  v.SetDims({n + m});
  for (int i = n - 1; i >= pos; --i) CopyElement(v, i + m, v, i);
  for (int i = 0; i < m; ++i) CopyElement(v, pos + i, src, i);
  c.ResultInt(n + m);
}

void FnDeleteArray(TSysFuncCall& c) {
  TCustomParam& v = c.OutWhole(0);
  int n = v.GetCount();
  if (v.GetDimCount() >= 2) {
    c.ResultInt(n);
    return;
  }
  int pos = std::clamp(c.Int(1), 0, n - 1);
  int count = std::clamp(c.Int(2), 0, n - pos);
  for (int i = pos + count; i < n; ++i) CopyElement(v, i - count, v, i);
  v.SetDims({n - count});  // deleting every element is the element-count error
  c.ResultInt(n - count);
}

void FnCopyArray(TSysFuncCall& c) {
  c.OutWhole(0).AssignTyped(c.Whole(1));
  c.ResultBool(true);
}

}  // namespace

void AddArrayFuncs(TSysFuncMan& m) {
  m.Register(4, FnGetArraySize);
  m.Register(21, FnSetArray);
  m.Register(22, FnFillMem);
  m.Register(23, FnCopyMem);
  m.Register(28, FnArrayToString);
  m.Register(29, FnStringToArray);
  m.Register(30, FnIndexOfStr);
  m.Register(31, FnSortStr);
  m.Register(66, FnAddArray);
  m.Register(67, FnInsertArray);
  m.Register(68, FnDeleteArray);
  m.Register(70, FnCopyArray);
}

}  // namespace nova
