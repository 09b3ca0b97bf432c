// A game saved in one run and loaded in the next comes back as it was: objects, queued events,
// focus, variables of every kind, locals of a called page, the call stack with a running wait
// in the main flow and in an event handler; the after-load page runs first, then the game goes
// on exactly as the first run went on.
#include <gtest/gtest.h>

#include "saves/save_file.h"
#include "saves_fixture.h"
#include "scenario/save_entries.h"

namespace nova::test {
namespace {

class RoundTrip : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    FrameClock() = TFrameClock{};
    RegisterProject("start.nsb");
    RegisterPage("start.nsb",
                 "VarNew \"g\" int {7}\n"
                 "VarNew \"s\" str {\"文字\"}\n"
                 "VarNew \"r\" int {0}\n"
                 "Call \"sub.nsb\" 0 \"r\" {} [{\"arg1\"} {2}]\n"
                 "Calc {back = r}\n"
                 "Wait {} {} {}\n");
    RegisterPage("sub.nsb",
                 "VarNew \"loc\" int {42} local\n"
                 "VarNew \"back\" int {0}\n"
                 "Calc {@Result = loc + 1}\n"
                 "Wait {} {1000} {}\n"
                 "Calc {subDone = loc}\n");
    RegisterPage("ev.nsb",
                 "GameSave {1} \"" + afterPage + "\" 0 {\"slot one\"}\n"
                 "Wait {} {200} {}\n"
                 "Calc {evDone = evDone + 1}\n");
    RegisterPage("after.nsb", "VarNew \"afterRan\" int {1}\n");
  }

  // The first run up to the save: the main flow waits inside sub.nsb, a timer's event runs
  // ev.nsb, which asks for the save and waits itself.
  void PlayUntilSaved(SavesGame& game) {
    for (const char* v : {"subDone", "evDone"}) {
      TParamCollectionItem* item = game.store->AddParam(PT_INT);
      game.store->SetParamName(item, v);
    }
    // Variables no page makes: an array, a real, a flag, and a reference to an element.
    TParamCollection& st = *game.store;
    TParamCollectionItem* arr = st.AddParam(PT_STR);
    st.SetParamName(arr, "arr");
    arr->Param->SetDims({2, 3});
    arr->Param->SetStrAt(4, "four");
    TParamCollectionItem* ref = st.AddParam(PT_NONE);
    st.SetParamName(ref, "ref");
    static_cast<TParamVar*>(ref->Param.get())->Target = arr;
    static_cast<TParamVar*>(ref->Param.get())->Index = 4;
    TParamCollectionItem* real = st.AddParam(PT_FLOAT);
    st.SetParamName(real, "real");
    real->Param->SetAsFloat(Real(2.5));
    TParamCollectionItem* flag = st.AddParam(PT_BOOL);
    st.SetParamName(flag, "flag");
    flag->Param->SetAsBool(true);
    st.TextDelay = 20;
    st.Cursor = "c.cur";
    st.SelStr = "region";
    st.SelIndex = 3;

    SceneFixture& f = game.scene;
    TestBox* panel = f.Box("panel", 4, 4, 40, 30, nullptr, 0x102030);
    TestBox* button = f.Box("button", 2, 2, 10, 8, panel, 0x405060);
    button->SetHandleKey(true);
    button->Tag = "tagged";
    f.Box("hidden", 1, 1, 5, 5, &f.scene.BackScreen());
    TestTimer* timer = f.scene.Make<TestTimer>();
    timer->SetName("timer");
    timer->SetPriority(3);

    game.Frames(3);  // into the wait of sub.nsb
    ASSERT_EQ(game.Cm().CurrentPage()->Name(), "sub.nsb");
    ASSERT_EQ(f.scene.Focus(), button);
    f.scene.Events().PostEvent(TEventSender(timer), "ev.nsb", {"a", "b"}, PR_ONNOTIFY);
    f.scene.Events().PostEvent(TEventSender(button), "later.nsb", {"queued"}, PR_ONLBTNDOWN);
    ASSERT_FALSE(game.Frame());  // the handler asks for the save; it is done at the frame's end
    ASSERT_EQ(game.Cm().CurrentPage()->Name(), "ev.nsb");
    ASSERT_TRUE(game.Cm().Entered());
    ASSERT_EQ(game.project->GetSaveCaption(1), "slot one");
  }

  std::string afterPage = "after.nsb";
  TempDir dir;
};

TEST_F(RoundTrip, TheNextRunLoadsTheGameAsItWasSaved) {
  std::vector<std::string> varsAtSave, varsAtEnd;
  std::string sceneAtSave;
  std::vector<std::pair<std::string, int32_t>> stackAtSave;
  {
    SavesGame first(dir.Path());
    PlayUntilSaved(first);
    varsAtSave = first.Vars();
    sceneAtSave = first.SceneBytes();
    for (int i = 0; i < first.Cm().Stack().Count(); ++i)
      stackAtSave.emplace_back(first.Cm().Stack().Frame(i).PageName, first.Cm().Stack().Frame(i).Index);
    first.Frames(100);  // the first run goes on to the end
    varsAtEnd = first.Vars();
    EXPECT_EQ(first.Int("back"), 43);
    EXPECT_EQ(first.Int("evDone"), 1);
  }
  SavesGame second(dir.Path());
  EXPECT_EQ(second.project->GetSaveCaption(1), "slot one");
  second.project->RequestLoad(1);
  ASSERT_TRUE(second.project->ServiceRequests());
  ASSERT_FALSE(Quitting());
  EXPECT_TRUE(second.dialogs.Boxes.empty());

  EXPECT_EQ(second.Vars(), varsAtSave);
  EXPECT_EQ(second.SceneBytes(), sceneAtSave);
  EXPECT_EQ(second.store->TextDelay, 20);
  EXPECT_EQ(second.store->Cursor, "c.cur");
  EXPECT_EQ(second.store->SelStr, "region");
  EXPECT_EQ(second.store->SelIndex, 3);
  TNovaObject* button = second.scene.scene.FindObject("button");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(second.scene.scene.Focus(), button);
  EXPECT_EQ(second.scene.scene.Events().Count(), 2);

  // The after-load page is current; beneath it the handler's position, then the saved stack.
  TCallMan& cm = second.Cm();
  EXPECT_EQ(cm.CurrentPage()->Name(), "after.nsb");
  ASSERT_EQ(cm.Stack().Count(), static_cast<int>(stackAtSave.size()) + 1);
  for (size_t i = 0; i < stackAtSave.size(); ++i) {
    EXPECT_EQ(cm.Stack().Frame(static_cast<int>(i)).PageName, stackAtSave[i].first);
    EXPECT_EQ(cm.Stack().Frame(static_cast<int>(i)).Index, stackAtSave[i].second);
  }
  EXPECT_EQ(cm.Stack().Top().PageName, "ev.nsb");
  EXPECT_EQ(cm.Stack().Top().Index, 1);
  EXPECT_TRUE(cm.Stack().Top().Entered);
  EXPECT_EQ(cm.SenderName(), "timer");

  second.Frames(100);
  EXPECT_EQ(second.Int("afterRan"), 1);
  EXPECT_EQ(second.Vars({"afterRan"}), varsAtEnd);
}

// Without an after-load page the interpreter's record comes back byte for byte, the waits of
// the handler and of the main flow included.
TEST_F(RoundTrip, WithoutAnAfterLoadPageTheInterpreterComesBackWhole) {
  afterPage = "";
  SetUp();
  std::string interpreterAtSave, entryAtSave;
  {
    SavesGame first(dir.Path());
    PlayUntilSaved(first);
    interpreterAtSave = first.InterpreterBytes();
    TSaveFile file(first.project->SaveFileName());
    file.Open();
    TKtMemoryStream entry;
    ASSERT_TRUE(file.Read(GameSaveEntryName(1), entry));
    entryAtSave = entry.Data();
  }
  SavesGame second(dir.Path());
  second.project->RequestLoad(1);
  ASSERT_TRUE(second.project->ServiceRequests());
  EXPECT_EQ(second.InterpreterBytes(), interpreterAtSave);
  // Saved again, the entry differs only in the order of the variables (a load gives them back
  // last first): it has the same length.
  EXPECT_EQ(second.saves->SavedGameBytes(TPendingSave{1, "", 0, "slot one"}).size(), entryAtSave.size());
  second.Frames(100);
  EXPECT_EQ(second.Int("back"), 43);
  EXPECT_EQ(second.Int("subDone"), 42);
  EXPECT_EQ(second.Int("evDone"), 1);
}

}  // namespace
}  // namespace nova::test
