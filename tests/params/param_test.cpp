#include <gtest/gtest.h>

#include <memory>

#include "support/test_support.h"

#include "base/encoding.h"
#include "base/error.h"
#include "params/param.h"
#include "params/param_collection.h"

namespace nova {
namespace {

using test::ErrorOf;

TEST(Param, FactoryAndNewValues) {
  for (int t = 0; t <= 4; ++t) {
    auto p = CreateParam(static_cast<uint8_t>(t | 0x80));  // only the low 7 bits count
    ASSERT_TRUE(p) << t;
    EXPECT_EQ(p->ClassCode(), t);
    EXPECT_EQ(p->GetCount(), 1);
    EXPECT_EQ(p->GetDimCount(), 1);
    EXPECT_EQ(p->GetDim(0), 1);
    EXPECT_EQ(p->GetAsInt(), 0);
  }
  EXPECT_FALSE(CreateParam(5));
  EXPECT_FALSE(CreateParam(0x7F));
  EXPECT_EQ(CreateParam(PT_STR)->GetAsStr(), "");
  EXPECT_EQ(CreateParam(PT_BOOL)->GetAsStr(), "FALSE");
}

// Every getter of every class, after a set through each setter.
TEST(Param, ConversionsTable) {
  struct Case {
    uint8_t type;
    std::function<void(TCustomParam&)> set;
    int32_t asInt;
    const char* asStr;
    bool asBool;
    long double asFloat;
  } cases[] = {
      {PT_INT, [](TCustomParam& p) { p.SetAsInt(-7); }, -7, "-7", true, -7},
      {PT_INT, [](TCustomParam& p) { p.SetAsFloat(-2.9L); }, -2, "-2", true, -2},
      {PT_INT, [](TCustomParam& p) { p.SetAsStr(" 12"); }, 12, "12", true, 12},
      {PT_INT, [](TCustomParam& p) { p.SetAsStr("12a"); }, 0, "0", false, 0},
      {PT_INT, [](TCustomParam& p) { p.SetAsStr("$1F"); }, 31, "31", true, 31},
      {PT_INT, [](TCustomParam& p) { p.SetAsBool(true); }, 1, "1", true, 1},
      {PT_FLOAT, [](TCustomParam& p) { p.SetAsFloat(2.9L); }, 2, "2.9", true, 2.9L},
      {PT_FLOAT, [](TCustomParam& p) { p.SetAsStr("1e3"); }, 1000, "1000", true, 1000},
      {PT_FLOAT, [](TCustomParam& p) { p.SetAsStr("x"); }, 0, "0", false, 0},
      {PT_FLOAT, [](TCustomParam& p) { p.SetAsInt(5); }, 5, "5", true, 5},
      {PT_BOOL, [](TCustomParam& p) { p.SetAsInt(-5); }, 1, "TRUE", true, 1},
      {PT_BOOL, [](TCustomParam& p) { p.SetAsFloat(0.25L); }, 1, "TRUE", true, 1},
      {PT_BOOL, [](TCustomParam& p) { p.SetAsStr("TRUE"); }, 1, "TRUE", true, 1},
      {PT_BOOL, [](TCustomParam& p) { p.SetAsStr("true"); }, 0, "FALSE", false, 0},
      {PT_BOOL, [](TCustomParam& p) { p.SetAsStr("1"); }, 0, "FALSE", false, 0},
      {PT_STR, [](TCustomParam& p) { p.SetAsStr("TRUE"); }, 0, "TRUE", true, 0},
      {PT_STR, [](TCustomParam& p) { p.SetAsStr("true"); }, 0, "true", false, 0},
      {PT_STR, [](TCustomParam& p) { p.SetAsStr(" 12"); }, 12, " 12", false, 12},
      {PT_STR, [](TCustomParam& p) { p.SetAsFloat(1.0L / 3); }, 0, "0.333333333333333", false,
       0.333333333333333L},
      {PT_STR, [](TCustomParam& p) { p.SetAsBool(false); }, 0, "FALSE", false, 0},
      {PT_STR, [](TCustomParam& p) { p.SetAsInt(-3); }, -3, "-3", false, -3},
  };
  int row = 0;
  for (const auto& c : cases) {
    auto p = CreateParam(c.type);
    c.set(*p);
    EXPECT_EQ(p->GetAsInt(), c.asInt) << row;
    EXPECT_EQ(p->GetAsStr(), c.asStr) << row;
    EXPECT_EQ(p->GetAsBool(), c.asBool) << row;
    EXPECT_EQ(p->GetAsFloat(), c.asFloat) << row;
    // The element accessors convert the same way.
    EXPECT_EQ(p->GetIntAt(0), c.asInt) << row;
    EXPECT_EQ(p->GetStrAt(0), c.asStr) << row;
    ++row;
  }
}

TEST(Param, WholeValueSetCollapsesAnArrayElementSetKeepsIt) {
  TParamInt a;
  a.SetDims({3, 4});
  EXPECT_EQ(a.GetCount(), 12);
  a.SetIntAt(7, 9);
  EXPECT_EQ(a.GetCount(), 12);
  EXPECT_EQ(a.GetIntAt(7), 9);
  EXPECT_EQ(a.GetDimCount(), 2);
  EXPECT_EQ(a.GetDim(1), 4);
  EXPECT_EQ(a.GetDim(2), 1);
  a.SetIntAt(0, 4);
  a.SetAsInt(5);
  EXPECT_TRUE(a.Dims.empty());
  EXPECT_EQ(a.GetCount(), 1);
  EXPECT_EQ(a.GetAsInt(), 5);

  TParamStr s;
  s.SetDims({2});
  s.SetStrAt(0, "keep");
  s.SetAsStr(s.Elements[0]);  // a set from its own element survives the collapse
  EXPECT_EQ(s.GetAsStr(), "keep");
}

TEST(Param, SetDimsKeepsElementsAndRefusesBadSizes) {
  TParamFloat f;
  f.SetAsFloat(2.5L);
  f.SetDims({2, 2});
  EXPECT_EQ(f.GetFloatAt(0), 2.5L);
  EXPECT_EQ(f.GetFloatAt(3), 0);
  f.SetDims({1});
  EXPECT_EQ(f.GetCount(), 1);
  EXPECT_EQ(ErrorOf([&] { f.SetDims({3, 0}); }), "配列の要素数[3,0]が不正です");
  EXPECT_EQ(ErrorOf([&] { f.SetDims({-1}); }), "配列の要素数[-1]が不正です");
  EXPECT_EQ(ErrorOf([&] { f.SetDims({100000, 100000}); }), "配列の要素数[100000,100000]が不正です");
  EXPECT_EQ(f.GetCount(), 1);  // a refused SetDims changes nothing
  EXPECT_EQ(f.Dims, std::vector<int32_t>{1});
}

TEST(Param, ArraysAreBoundedByTheMemoryOfTheirElementsToo) {
  struct Case {
    const char* what;
    std::unique_ptr<TCustomParam> value;
    std::vector<int32_t> dims;
    bool refused;
  };
  Case cases[] = {
      {"8192 x 8192 strings", std::make_unique<TParamStr>(), {8192, 8192}, true},
      {"one string past 256 MiB", std::make_unique<TParamStr>(), {8192, 1025}, true},
      {"1024 x 1024 strings", std::make_unique<TParamStr>(), {1024, 1024}, false},
      {"8192 x 8192 reals", std::make_unique<TParamFloat>(), {8192, 8192}, true},
      {"8192 x 8192 flags", std::make_unique<TParamFlag>(), {8192, 8192}, false},
      {"one flag past the element limit", std::make_unique<TParamFlag>(), {8192, 8193}, true},
  };
  for (Case& c : cases) {
    std::string sizes;
    for (int32_t d : c.dims) sizes += (sizes.empty() ? "" : ",") + std::to_string(d);
    const std::string error = ErrorOf([&] { c.value->SetDims(c.dims); });
    if (c.refused) {
      EXPECT_EQ(error, "配列の要素数[" + sizes + "]が不正です") << c.what;
      EXPECT_EQ(c.value->GetCount(), 1) << c.what;  // nothing was allocated or changed
      EXPECT_TRUE(c.value->Dims.empty()) << c.what;
    } else {
      EXPECT_EQ(error, "(no error)") << c.what;
      EXPECT_EQ(c.value->GetCount(), c.dims[0] * c.dims[1]) << c.what;
    }
  }
}

TEST(Param, ALoadedArrayMustHoldWhatItsDimensionsGive) {
  auto ints = [](std::vector<int32_t> dims, int32_t count, int32_t stored) {
    TKtMemoryStream s;
    s.WriteInt32(static_cast<int32_t>(dims.size()));
    for (int32_t d : dims) s.WriteInt32(d);
    s.WriteInt32(count);
    for (int32_t i = 0; i < stored; ++i) s.WriteInt32(i);
    return s.Data();
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool damaged;
  };
  const Case cases[] = {
      {"8192 x 8192 holding 12", ints({8192, 8192}, 12, 12), true},
      {"2 x 3 holding 5", ints({2, 3}, 5, 5), true},
      {"2 x 3 claiming 6, holding 4", ints({2, 3}, 6, 4), true},
      {"a dimension of 0", ints({0, 3}, 0, 0), true},
      {"a negative dimension", ints({-2, -3}, 6, 6), true},
      {"2 x 3 holding 6", ints({2, 3}, 6, 6), false},
      {"plain", ints({}, 1, 1), false},
  };
  for (const Case& c : cases) {
    TKtMemoryStream s(c.bytes);
    TParamInt v;
    const std::string error = ErrorOf([&] { v.LoadFromStream(s); });
    EXPECT_EQ(error != "(no error)", c.damaged) << c.what << ": " << error;
  }
  // Strings, reals and flags check their records the same way.
  TKtMemoryStream str(std::string("\x01\0\0\0\x03\0\0\0\x01\0\0\0\x01\0\0\0x", 17));
  TParamStr s;
  EXPECT_NE(ErrorOf([&] { s.LoadFromStream(str); }), "(no error)");
  TKtMemoryStream flags(std::string("\x01\0\0\0\x02\0\0\0\x01\0\0\0\x01", 13));
  TParamFlag f;
  EXPECT_NE(ErrorOf([&] { f.LoadFromStream(flags); }), "(no error)");
  TKtMemoryStream reals(std::string("\x01\0\0\0\x02\0\0\0\x00\0\0\0", 12));
  TParamFloat r;
  EXPECT_NE(ErrorOf([&] { r.LoadFromStream(reals); }), "(no error)");
}

TEST(Param, ElementIndexErrors) {
  TParamStr s;
  s.SetDims({3});
  for (int i : {-1, 3, 1000}) {
    EXPECT_EQ(ErrorOf([&] { s.GetStrAt(i); }), "配列の添字が不正です") << i;
    EXPECT_EQ(ErrorOf([&] { s.SetIntAt(i, 1); }), "配列の添字が不正です") << i;
  }
}

TEST(Param, AssignTypedConvertsEveryElement) {
  TParamFloat src;
  src.SetDims({2, 3});
  for (int i = 0; i < 6; ++i) src.SetFloatAt(i, i + 0.5L);
  TParamStr dst;
  dst.AssignTyped(src);
  EXPECT_EQ(dst.Dims, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(dst.GetStrAt(5), "5.5");
  TParamInt plain;
  plain.SetAsInt(4);
  TParamFlag flag;
  flag.AssignTyped(plain);
  EXPECT_EQ(flag.Dims, std::vector<int32_t>{1});  // a plain source gives the one dimension 1
  EXPECT_TRUE(flag.GetAsBool());
}

TEST(Param, CopyFromNeedsTheSameClass) {
  TParamInt a, b;
  b.SetDims({2});
  b.SetIntAt(1, 8);
  a.CopyFrom(b);
  EXPECT_EQ(a.GetCount(), 2);
  EXPECT_EQ(a.GetIntAt(1), 8);
  TParamStr s;
  EXPECT_EQ(ErrorOf([&] { a.CopyFrom(s); }), "CopyMem:変数の型があいません");
}

TEST(Param, IndexOfStr) {
  TParamStr s;
  s.SetDims({4});
  s.SetStrAt(0, "Alpha");
  s.SetStrAt(1, "beta");
  s.SetStrAt(2, "BETA");
  s.SetStrAt(3, Utf8ToSjis("ソ"));  // 0x83 0x5C: the trail byte is a backslash
  EXPECT_EQ(s.IndexOfStr("BETA", true, false), 2);
  EXPECT_EQ(s.IndexOfStr("BETA", false, false), 1);
  EXPECT_EQ(s.IndexOfStr("lph", true, true), 0);
  EXPECT_EQ(s.IndexOfStr("ET", false, true), 1);
  EXPECT_EQ(s.IndexOfStr("ET", true, true), 2);
  EXPECT_EQ(s.IndexOfStr("\\", true, true), -1);  // never matched inside a character
  EXPECT_EQ(s.IndexOfStr("gamma", false, true), -1);
  TParamInt n;
  n.SetDims({3});
  n.SetIntAt(2, 42);
  EXPECT_EQ(n.IndexOfStr("42", true, false), 2);
}

TEST(Param, SerialisedForms) {
  TParamInt i;
  i.SetDims({2});
  i.SetIntAt(1, -2);
  TKtMemoryStream s;
  i.SaveToStream(s);
  EXPECT_EQ(s.Data(), std::string("\x01\0\0\0\x02\0\0\0\x02\0\0\0\0\0\0\0\xFE\xFF\xFF\xFF", 20));

  TParamStr str;
  str.SetAsStr("ab");
  s.Clear();
  str.SaveToStream(s);
  EXPECT_EQ(s.Data(), std::string("\0\0\0\0\x01\0\0\0\x02\0\0\0ab", 14));

  TParamFlag flag;
  flag.SetAsBool(true);
  s.Clear();
  flag.SaveToStream(s);
  EXPECT_EQ(s.Data(), std::string("\0\0\0\0\x01\0\0\0\x01", 9));

  TParamFloat f;
  f.SetDims({3});
  f.SetFloatAt(0, 1.0L);
  f.SetFloatAt(2, -0.1L);
  s.Clear();
  f.SaveToStream(s);
  EXPECT_EQ(s.Data().size(), 4u + 4 + 4 + 30);
  EXPECT_EQ(s.Data().substr(12, 10), std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
  TParamFloat back;
  s.SetPosition(0);
  back.LoadFromStream(s);
  EXPECT_EQ(back.Dims, std::vector<int32_t>{3});
  EXPECT_EQ(back.GetFloatAt(2), -0.1L);

  // A count larger than the stream holds reads only what is there.
  TKtMemoryStream bad(std::string("\0\0\0\0\xFF\xFF\xFF\x7F\x05\0\0\0", 12));
  TParamInt hostile;
  hostile.LoadFromStream(bad);
  EXPECT_EQ(hostile.GetCount(), 1);
  EXPECT_EQ(hostile.GetIntAt(0), 5);
}

TEST(Param, ReferenceForwardsToItsTarget) {
  TParamCollection store;
  TParamCollectionItem* arr = store.AddParam(PT_INT);
  store.SetParamName(arr, "arr");
  arr->Param->SetDims({4});
  TParamVar ref;
  EXPECT_EQ(ref.GetParamType(), PT_NONE);  // unbound: empty reads, ignored writes
  ref.SetAsInt(3);
  EXPECT_EQ(ref.GetAsStr(), "");
  EXPECT_EQ(ref.IndexOfStr("0", true, false), -1);

  ref.Target = arr;
  ref.Index = 2;
  EXPECT_EQ(ref.GetParamType(), PT_INT);
  ref.SetAsInt(9);  // whole-value set = element set at Index, no collapse
  EXPECT_EQ(arr->Param->GetCount(), 4);
  EXPECT_EQ(arr->Param->GetIntAt(2), 9);
  EXPECT_EQ(ref.GetAsStr(), "9");
  ref.SetIntAt(0, 1);  // element operations pass their own index
  EXPECT_EQ(arr->Param->GetIntAt(0), 1);
  EXPECT_EQ(ref.GetCount(), 4);
  EXPECT_EQ(ref.GetDim(0), 4);
  ref.SetDims({2, 3});
  EXPECT_EQ(arr->Param->GetCount(), 6);
  ref.FillInt(7);
  EXPECT_EQ(arr->Param->GetIntAt(5), 7);
  ref.BeforeScalarSet();
  EXPECT_EQ(arr->Param->GetCount(), 1);

  TKtMemoryStream s;
  ref.SaveToStream(s);
  EXPECT_EQ(s.Data(), std::string("\0\0\0\0\0\0\0\0\x03\0\0\0arr\0\x02\0\0\0", 20));
}

}  // namespace
}  // namespace nova
