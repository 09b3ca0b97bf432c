// SaveCabinet and LoadCabinet: objects of the back screen chosen by mode and names go into a
// cabinet on screen 0 and come back; a cabinet left empty is deleted.
#include <gtest/gtest.h>

#include <algorithm>

#include "object_command_fixture.h"

namespace nova::test {
namespace {

class CabinetTest : public ::testing::Test {
protected:
  void SetUp() override { FreshFileManager(); }
};

std::vector<TFieldValue> Selection(const std::string& mode, const std::vector<std::string>& names) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(mode));
  f.push_back(FExprs(names));
  return f;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Boxes a, b and c on the back screen (screen 1), a box "shown" on the displayed one.
void BackScreenBoxes(PageBuilder& b) {
  for (const char* name : {"a", "b", "c"})
    PropsCommand(b, kBoxNew, {{PR_NAME, std::string("\"") + name + "\""}, {PR_PARENT, "\"\x01\""}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"shown\""}});
}

TEST_F(CabinetTest, SaveCabinetMovesTheChosenObjectsOfTheBackScreen) {
  struct Case {
    const char* mode;
    std::vector<std::string> names;
    std::vector<std::string> saved;
  } cases[] = {
      {"TRUE", {}, {"a", "b", "c"}},
      {"FALSE", {"\"a\"", "\"c\""}, {"a", "c"}},
      {"TRUE", {"\"a\""}, {"b", "c"}},
      {"", {"\"b\"", "\"shown\""}, {"b"}},  // no value is false; only the back screen counts
      {"1 == 1", {"\"a\"", "\"b\"", "\"c\""}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.names.size()));
    PageBuilder b;
    BackScreenBoxes(b);
    PropsCommand(b, kSaveCabinet, {{PR_NAME, "\"cab\""}}, Selection(c.mode, c.names));
    b.Register("main.nsb");
    ObjectMachine m;
    m.cm->Start("main.nsb");
    m.Frame();
    TNovaObject* cab = m.scene.FindObject("cab");
    ASSERT_NE(cab, nullptr);
    ASSERT_EQ(cab->TypeCode(), LT_CABINET);
    auto* cabinet = static_cast<TNovaControl*>(cab);
    EXPECT_EQ(cabinet->Parent(), &m.scene.GetScreen(0));
    EXPECT_EQ(Sorted(ObjectMachine::Names(*cabinet)), c.saved);
    std::vector<std::string> left;
    for (const char* n : {"a", "b", "c"})
      if (std::find(c.saved.begin(), c.saved.end(), n) == c.saved.end()) left.push_back(n);
    EXPECT_EQ(Sorted(ObjectMachine::Names(m.scene.BackScreen())), left);
    for (const std::string& n : c.saved) EXPECT_TRUE(m.Find(n)->InCabinet()) << n;
    EXPECT_NE(m.Find("shown"), nullptr);
    EXPECT_EQ(m.Find("shown")->Parent(), &m.scene.Displayed());
    // A cabinet that took nothing goes at the end of the frame.
    m.scene.UpdateScene(16);
    EXPECT_EQ(m.scene.FindObject("cab") != nullptr, !c.saved.empty());
  }
}

TEST_F(CabinetTest, LoadCabinetBringsTheChosenObjectsBackAndAnEmptyCabinetGoes) {
  PageBuilder b;
  BackScreenBoxes(b);
  PropsCommand(b, kSaveCabinet, {{PR_NAME, "\"cab\""}}, Selection("TRUE", {}));
  Wait(b, "", "1", "", 1);  // ends in the next frame
  PropsCommand(b, kLoadCabinet, {{PR_NAME, "\"cab\""}}, Selection("FALSE", {"\"b\""}));
  Wait(b, "", "1", "", 1);
  PropsCommand(b, kLoadCabinet, {{PR_NAME, "\"nothing\""}}, Selection("TRUE", {}));
  PropsCommand(b, kLoadCabinet, {{PR_NAME, "\"shown\""}}, Selection("TRUE", {}));  // not a cabinet
  PropsCommand(b, kLoadCabinet, {{PR_NAME, "\"cab\""}}, Selection("TRUE", {}));
  VarNew(b, "done", 1, "1");
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.PaintedFrame();
  EXPECT_TRUE(ObjectMachine::Names(m.scene.BackScreen()).empty());
  m.PaintedFrame();
  EXPECT_EQ(ObjectMachine::Names(m.scene.BackScreen()), (std::vector<std::string>{"b"}));
  EXPECT_FALSE(m.Find("b")->InCabinet());
  ASSERT_NE(m.scene.FindObject("cab"), nullptr);
  m.scene.StartTransition(1);  // the back screen is now screen 0, where the cabinet lies
  m.PaintedFrame();
  EXPECT_EQ(m.Int("done"), 1);
  EXPECT_EQ(m.scene.FindObject("cab"), nullptr);
  EXPECT_EQ(Sorted(ObjectMachine::Names(m.scene.BackScreen())), (std::vector<std::string>{"a", "c", "shown"}));
  EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), (std::vector<std::string>{"b"}));
}

TEST_F(CabinetTest, SaveCabinetFillsAnExistingCabinetAndTakesANameFromAnotherControl) {
  PageBuilder b;
  BackScreenBoxes(b);
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"box\""}, {PR_PARENT, "\"\x01\""}});
  PropsCommand(b, kSaveCabinet, {{PR_NAME, "\"shown\""}}, Selection("FALSE", {"\"a\""}));
  PropsCommand(b, kSaveCabinet, {{PR_NAME, "\"shown\""}}, Selection("FALSE", {"\"b\""}));
  PropsCommand(b, kSaveCabinet, {{PR_NAME, "\"\""}}, Selection("FALSE", {"\"c\""}));
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  // The control that had the name gets a numbered one; both saves went to the one cabinet.
  ASSERT_NE(m.Find("shown_2"), nullptr);
  TNovaObject* cab = m.scene.FindObject("shown");
  ASSERT_TRUE(cab && cab->TypeCode() == LT_CABINET);
  EXPECT_EQ(Sorted(ObjectMachine::Names(*static_cast<TNovaControl*>(cab))), (std::vector<std::string>{"a", "b"}));
  // Without a name the cabinet keeps its automatic one.
  ASSERT_TRUE(m.Find("c")->InCabinet());
  EXPECT_EQ(m.Find("c")->Parent()->Name().rfind("object", 0), 0u);
  EXPECT_EQ(ObjectMachine::Names(m.scene.BackScreen()), (std::vector<std::string>{"box"}));
}

}  // namespace
}  // namespace nova::test
