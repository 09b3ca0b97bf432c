#include <gtest/gtest.h>

#include "support/test_support.h"

#include "base/encoding.h"
#include "base/error.h"
#include "params/param_collection.h"
#include "params/system_vars.h"

namespace nova {
namespace {

using test::ErrorOf;

TParamCollectionItem* Add(TParamCollection& store, const std::string& name, uint8_t type, int32_t level = -1,
                          bool local = false, bool status = false) {
  TParamCollectionItem* item = store.AddParam(type);
  store.SetParamName(item, name);
  item->Level = level;
  item->IsLocal = local;
  item->IsStatus = status;
  return item;
}

TEST(Store, StartsWithTheFiftySystemVariables) {
  TParamCollection store;
  ASSERT_EQ(store.Count(), 50);
  EXPECT_EQ(store.ParamItem(0)->Name(), "@Result");
  EXPECT_EQ(store.ParamItem(7)->Name(), "@TextDelay");
  EXPECT_EQ(store.ParamItem(44)->Name(), "@Temp");
  EXPECT_EQ(store.ParamItem(49)->Name(), "@IsDebug");
  EXPECT_EQ(store.IndexOf("@textdelay"), 7);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(store.ParamItem(i)->Param->ClassCode(), kClassSystem);
    EXPECT_EQ(store.IndexOf(store.ParamItem(i)->Name()), i);
  }
}

TEST(Store, NamingRule) {
  TParamCollection store;
  TParamCollectionItem* item = store.AddParam(PT_INT);
  for (const char* bad : {"", "a b", " a", "1abc", "9"}) {
    EXPECT_EQ(ErrorOf([&] { store.SetParamName(item, bad); }), std::string("\"") + bad + "\"：変数名が不正です");
  }
  store.SetParamName(item, Utf8ToSjis("変数_1"));
  EXPECT_EQ(store.FindParam(Utf8ToSjis("変数_1")), item);
  store.SetParamName(item, "Renamed");
  EXPECT_EQ(store.FindParam(Utf8ToSjis("変数_1")), nullptr);
  EXPECT_EQ(store.FindParam("RENAMED"), item);
}

TEST(Store, NameComparisonFoldsOnlySingleByteLetters) {
  EXPECT_TRUE(TParamCollection::SameName("AbC_1", "aBc_1"));
  EXPECT_TRUE(TParamCollection::SameName("abC", "ABc"));
  EXPECT_FALSE(TParamCollection::SameName("____12", "____13"));
  EXPECT_FALSE(TParamCollection::SameName("ab", "abc"));
  EXPECT_FALSE(TParamCollection::SameName("a@", "a`"));  // 0x40 / 0x60 are not letters
  // 0x83 0x41 and 0x83 0x61 are different double-byte characters.
  EXPECT_FALSE(TParamCollection::SameName("\x83\x41", "\x83\x61"));
  EXPECT_TRUE(TParamCollection::SameName("\x83\x41x", "\x83\x41X"));
}

TEST(Store, LocalsAndGlobalsLookup) {
  TParamCollection store;
  TParamCollectionItem* global = Add(store, "v", PT_INT);
  TParamCollectionItem* local2 = Add(store, "V", PT_INT, 2, true);
  TParamCollectionItem* auto3 = Add(store, "w", PT_INT, 3);
  store.CurrentLevel = 2;
  EXPECT_EQ(store.FindParam("v"), local2);  // the frame that owns the local finds it
  EXPECT_EQ(store.FindForNew("v", true), local2);
  EXPECT_EQ(store.FindForNew("v", false), global);
  store.CurrentLevel = 1;
  EXPECT_EQ(store.FindParam("v"), global);  // everywhere else the global
  EXPECT_EQ(store.FindForNew("v", true), nullptr);
  EXPECT_EQ(store.FindParam("w"), auto3);  // an auto-destroy variable is visible everywhere

  // Two globals of one name: lookup returns the oldest, FindForNew the newest.
  TParamCollectionItem* newer = Add(store, "v", PT_STR);
  EXPECT_EQ(store.FindParam("v"), global);
  EXPECT_EQ(store.FindForNew("v", false), newer);

  // A local of another depth alone is never found.
  Add(store, "only", PT_INT, 5, true);
  EXPECT_EQ(store.FindParam("only"), nullptr);
  store.CurrentLevel = 5;
  EXPECT_NE(store.FindParam("only"), nullptr);
}

TEST(Store, FreeLevelResetAndRenumbering) {
  TParamCollection store;
  Add(store, "g", PT_INT);
  Add(store, "l", PT_INT, 1, true);
  Add(store, "a", PT_INT, 1);
  Add(store, "deep", PT_INT, 2, true);
  Add(store, "s", PT_STR, -1, false, true);
  store.FreeLevel(1);
  ASSERT_EQ(store.Count(), 53);
  EXPECT_EQ(store.IndexOf("g"), 50);
  EXPECT_EQ(store.IndexOf("s"), 52);  // later items renumbered
  EXPECT_EQ(store.ParamItem(51)->Name(), "deep");
  store.TextDelay = 10;
  store.Cursor = "c.cur";
  store.ResetVars();
  ASSERT_EQ(store.Count(), 51);
  EXPECT_EQ(store.ParamItem(50)->Name(), "s");
  EXPECT_EQ(store.TextDelay, 50);
  EXPECT_EQ(store.Cursor, "");
  store.FreeItem(store.ParamItem(3));  // system variables are never freed
  EXPECT_EQ(store.Count(), 51);
}

TEST(Store, CopyParam) {
  TParamCollection store;
  TParamCollectionItem* a = Add(store, "a", PT_FLOAT);
  a->Param->SetDims({2});
  a->Param->SetFloatAt(1, 1.5L);
  auto copy = store.CopyParam("A");
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->ClassCode(), kClassFloat);
  EXPECT_EQ(copy->GetFloatAt(1), 1.5L);
  EXPECT_EQ(copy->Dims, std::vector<int32_t>{2});
  EXPECT_FALSE(store.CopyParam("missing"));
  Add(store, "r", PT_NONE);
  EXPECT_EQ(ErrorOf([&] { store.CopyParam("r"); }), "r:不正な変数です");
  // A system variable copies what it shows, as a plain value.
  auto delay = store.CopyParam("@TextDelay");
  EXPECT_EQ(delay->ClassCode(), kClassInt);
  EXPECT_TRUE(delay->Dims.empty());
  EXPECT_EQ(delay->GetAsInt(), 50);
}

// Writes the variable block of a store and reads it into a fresh one.
std::string SaveBlock(TParamCollection& store) {
  TKtMemoryStream s;
  store.SaveVars(s);
  return s.Data();
}

TEST(Store, SaveAndLoadVarsRoundTripWithAReferenceBeforeItsTarget) {
  TParamCollection store;
  TParamCollectionItem* ref = Add(store, "ref", PT_NONE);  // before its target in store order
  TParamCollectionItem* arr = Add(store, "arr", PT_STR, 2, true);
  arr->Param->SetDims({2, 2});
  arr->Param->SetStrAt(3, Utf8ToSjis("値"));
  arr->Reserved = 7;
  auto* r = static_cast<TParamVar*>(ref->Param.get());
  r->Target = arr;
  r->Index = 3;
  r->Name = "arr";
  Add(store, "f", PT_FLOAT)->Param->SetAsFloat(0.1L);
  Add(store, "b", PT_BOOL)->Param->SetAsBool(true);
  Add(store, "st", PT_INT, -1, false, true)->Param->SetAsInt(5);  // status: not in this block
  store.TextDelay = 33;
  store.Cursor = "c.cur";
  store.SelStr = "region";
  store.SelIndex = 4;
  store.TempTarget = "arr";

  std::string block = SaveBlock(store);
  TParamCollection loaded;
  loaded.CurrentLevel = 2;  // the local is found by the binding only at its depth
  TKtMemoryStream in(block);
  loaded.LoadVars(in, 140);
  EXPECT_EQ(in.Remaining(), 0);
  ASSERT_EQ(loaded.Count(), 54);
  TParamCollectionItem* larr = loaded.FindParam("arr");
  ASSERT_TRUE(larr);
  EXPECT_EQ(larr->Level, 2);
  EXPECT_EQ(larr->IsLocal, 1);
  EXPECT_EQ(larr->Reserved, 7);
  EXPECT_EQ(larr->Param->Dims, (std::vector<int32_t>{2, 2}));
  TParamCollectionItem* lref = loaded.FindParam("ref");
  ASSERT_TRUE(lref);
  EXPECT_EQ(static_cast<TParamVar*>(lref->Param.get())->Target, larr);
  EXPECT_EQ(lref->Param->GetAsStr(), Utf8ToSjis("値"));
  EXPECT_EQ(loaded.FindParam("f")->Param->GetAsFloat(), 0.1L);
  EXPECT_TRUE(loaded.FindParam("b")->Param->GetAsBool());
  EXPECT_FALSE(loaded.FindParam("st"));
  EXPECT_EQ(loaded.TextDelay, 33);
  EXPECT_EQ(loaded.Cursor, "c.cur");
  EXPECT_EQ(loaded.SelStr, "region");
  EXPECT_EQ(loaded.SelIndex, 4);
  EXPECT_EQ(loaded.TempTarget, "arr");
}

TEST(Store, ReferencesThatPointAtEachOtherStillSave) {
  TParamCollection store;
  TParamCollectionItem* a = Add(store, "a", PT_NONE);
  TParamCollectionItem* b = Add(store, "b", PT_NONE);
  static_cast<TParamVar*>(a->Param.get())->Target = b;
  static_cast<TParamVar*>(b->Param.get())->Target = a;
  TParamCollectionItem* self = Add(store, "self", PT_NONE);
  static_cast<TParamVar*>(self->Param.get())->Target = self;
  TParamCollection loaded;
  TKtMemoryStream in(SaveBlock(store));
  loaded.LoadVars(in, 140);
  EXPECT_EQ(loaded.Count(), 53);
  // Loading never binds a loop: reading the references ends.
  EXPECT_EQ(static_cast<TParamVar*>(loaded.FindParam("self")->Param.get())->Target, nullptr);
  int bound = 0;
  for (const char* name : {"a", "b"}) {
    TCustomParam* p = loaded.FindParam(name)->Param.get();
    bound += static_cast<TParamVar*>(p)->Target != nullptr;
    EXPECT_EQ(p->GetAsInt(), 0);
    EXPECT_EQ(p->GetCount(), 1);
  }
  EXPECT_EQ(bound, 1);
  // @Temp standing for a reference that leads back to @Temp stands for nothing.
  TParamCollectionItem* back = Add(loaded, "back", PT_NONE);
  static_cast<TParamVar*>(back->Param.get())->Target = loaded.FindParam("@Temp");
  loaded.TempTarget = "back";
  EXPECT_EQ(loaded.FindParam("@Temp")->Param->GetParamType(), PT_NONE);
  EXPECT_EQ(back->Param->GetAsStr(), "");
}

TEST(Store, LoadVarsVersionBranches) {
  struct Case {
    int32_t version;
    bool sel, history, temp;
  } cases[] = {
      {100, false, false, false}, {102, false, false, false}, {103, true, false, false}, {112, true, false, false},
      {113, true, true, false},   {120, true, true, false},   {121, true, true, true},   {134, true, true, true},
      {135, true, false, true},
  };
  for (const auto& c : cases) {
    TKtMemoryStream s;
    s.WriteInt32(2);
    s.WriteByte(PT_INT);
    s.WriteString("x");
    TParamInt v;
    v.SetAsInt(3);
    v.SaveToStream(s);
    s.WriteByte(0);
    s.WriteByte(0);
    s.WriteInt32(-1);
    s.WriteByte(0);
    // An entry without a name is read and dropped.
    s.WriteByte(PT_NONE);
    s.WriteString("");
    TParamVar().SaveToStream(s);
    s.WriteBytes(std::string(7, '\0'));
    s.WriteInt32(77);
    s.WriteString("cur");
    if (c.sel) {
      s.WriteString("sel");
      s.WriteInt32(9);
    }
    if (c.history) {
      for (int k = 1; k <= 6; ++k) s.WriteInt32(k * 10);
    }
    if (c.temp) s.WriteString("x");

    TParamCollection store;
    Add(store, "old", PT_INT);
    Add(store, "kept", PT_INT, -1, false, true);
    s.SetPosition(0);
    store.LoadVars(s, c.version);
    EXPECT_EQ(s.Remaining(), 0) << c.version;
    EXPECT_FALSE(store.FindParam("old")) << c.version;
    EXPECT_TRUE(store.FindParam("kept")) << c.version;
    ASSERT_TRUE(store.FindParam("x")) << c.version;
    EXPECT_EQ(store.FindParam("x")->Param->GetAsInt(), 3);
    EXPECT_EQ(store.Count(), 52) << c.version;
    EXPECT_EQ(store.TextDelay, 77);
    EXPECT_EQ(store.SelStr, c.sel ? "sel" : "") << c.version;
    EXPECT_EQ(store.SelIndex, c.sel ? 9 : -1) << c.version;
    EXPECT_EQ(store.LoadedHistorySettings.has_value(), c.history) << c.version;
    if (c.history) {
      EXPECT_EQ((*store.LoadedHistorySettings)[5], 60);
    }
    EXPECT_EQ(store.TempTarget, c.temp ? "x" : "") << c.version;
  }
}

TEST(Store, StatusVarsBlock) {
  TParamCollection store;
  Add(store, "g", PT_INT)->Param->SetAsInt(1);
  Add(store, "s1", PT_STR, -1, false, true)->Param->SetAsStr("kept");
  Add(store, "s2", PT_INT, -1, false, true)->Param->SetAsInt(2);
  TKtMemoryStream s;
  store.SaveStatusVars(s);
  TParamCollection other;
  Add(other, "existing", PT_INT);
  s.SetPosition(0);
  other.LoadStatusVars(s, 100);
  EXPECT_EQ(s.Remaining(), 0);  // no trailer
  EXPECT_TRUE(other.FindParam("existing"));  // nothing freed first
  EXPECT_FALSE(other.FindParam("g"));
  ASSERT_TRUE(other.FindParam("s1"));
  EXPECT_EQ(other.FindParam("s1")->IsStatus, 1);
  EXPECT_EQ(other.FindParam("s1")->Param->GetAsStr(), "kept");
  EXPECT_EQ(other.FindParam("s2")->Param->GetAsInt(), 2);
}

TEST(Store, TemporariesAreRecycledAsFreshValues) {
  TParamCollection store;
  TParamCollectionItem* t = store.AddTemporary(PT_STR, "____0");
  t->Param->SetDims({3});
  t->Param->SetStrAt(2, "x");
  t->Level = 4;
  store.FreeTemporary(t, PT_STR);
  EXPECT_EQ(store.Count(), 50);
  TParamCollectionItem* again = store.AddTemporary(PT_STR, "____1");
  EXPECT_EQ(store.FindParam("____1"), again);
  EXPECT_EQ(again->Param->GetCount(), 1);
  EXPECT_TRUE(again->Param->Dims.empty());
  EXPECT_EQ(again->Param->GetAsStr(), "");
  EXPECT_EQ(again->Level, -1);
  EXPECT_FALSE(store.FindParam("____0"));
}

}  // namespace
}  // namespace nova
