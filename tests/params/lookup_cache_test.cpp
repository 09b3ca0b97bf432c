// A compiled expression keeps the result of its name lookups between runs; what a name finds
// must still follow every change of the store and of the call depth.
#include <gtest/gtest.h>

#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"

namespace nova {
namespace {

TNovaParser Compile(const std::string& text) { return std::move(*CompileExpression(text)); }

TParamCollectionItem* AddVar(TParamCollection& store, const std::string& name, uint8_t type = PT_INT) {
  TParamCollectionItem* item = store.AddParam(type);
  store.SetParamName(item, name);
  return item;
}

TEST(LookupCache, FollowsLocalsLevelsDeletionsAndStores) {
  TParamCollection store;
  TSysFuncMan funcs(store);
  TParamCollectionItem* global = AddVar(store, "x");
  TNovaParser inc = Compile("x = x + 1");
  inc.Execute(store, funcs);
  EXPECT_EQ(global->Param->GetAsInt(), 1);

  // A local of the current depth, made by VarNew, hides the global from then on.
  store.CurrentLevel = 1;
  TNovaParser zero = Compile("0");
  VarNew(store, "x", PT_INT, zero, VS_LOCAL, funcs);
  TParamCollectionItem* local = store.FindParam("x");
  ASSERT_NE(local, global);
  inc.Execute(store, funcs);
  EXPECT_EQ(local->Param->GetAsInt(), 1);
  EXPECT_EQ(global->Param->GetAsInt(), 1);

  // Back at depth 0 the global is found again; at depth 1 again the local.
  store.CurrentLevel = 0;
  inc.Execute(store, funcs);
  EXPECT_EQ(global->Param->GetAsInt(), 2);
  store.CurrentLevel = 1;
  inc.Execute(store, funcs);
  EXPECT_EQ(local->Param->GetAsInt(), 2);

  // Freeing the local's depth and renaming the global: the name finds nothing, then the new one.
  store.FreeLevel(1);
  store.CurrentLevel = 0;
  store.SetParamName(global, "y");
  inc.Execute(store, funcs);  // "x" does not exist: the run stops
  EXPECT_EQ(global->Param->GetAsInt(), 2);
  TParamCollectionItem* fresh = AddVar(store, "X", PT_FLOAT);
  inc.Execute(store, funcs);
  EXPECT_EQ(fresh->Param->GetAsFloat(), 1.0L);

  // The same compiled expression against another store finds that store's variable.
  TParamCollection other;
  TSysFuncMan otherFuncs(other);
  TParamCollectionItem* otherX = AddVar(other, "x");
  otherX->Param->SetAsInt(40);
  inc.Execute(other, otherFuncs);
  EXPECT_EQ(otherX->Param->GetAsInt(), 41);
  EXPECT_EQ(fresh->Param->GetAsFloat(), 1.0L);
}

TEST(LookupCache, LoadedVariablesReplaceTheOldOnes) {
  TParamCollection store;
  TSysFuncMan funcs(store);
  AddVar(store, "n")->Param->SetAsInt(5);
  TKtMemoryStream saved;
  store.SaveVars(saved);
  TNovaParser inc = Compile("n = n + 1");
  inc.Execute(store, funcs);
  saved.SetPosition(0);
  store.LoadVars(saved, 138);
  inc.Execute(store, funcs);
  EXPECT_EQ(store.FindParam("n")->Param->GetAsInt(), 6);
}

}  // namespace
}  // namespace nova
