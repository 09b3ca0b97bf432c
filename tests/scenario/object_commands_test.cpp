// The object-creating commands (properties in their fixed order, creation defaults, names and
// parents, handed expressions, the media and menu steps), GetProp, SetProp and ObjDel.
#include <gtest/gtest.h>

#include <algorithm>

#include "object_command_fixture.h"

namespace nova::test {
namespace {

class ObjectCommandTest : public ::testing::Test {
protected:
  void SetUp() override { FreshFileManager(); }
};

std::vector<std::string> Sets(const CreationLog& log) {
  std::vector<std::string> out;
  for (const std::string& s : log.Steps)
    if (s.rfind("set:", 0) == 0) out.push_back(s);
  return out;
}

TEST_F(ObjectCommandTest, PropertiesGoToTheSettersInTheFixedOrder) {
  // Every property, each with a value; name and parent first, the setters in the fixed order.
  std::vector<std::pair<int, std::string>> props;
  for (int id = 0; id < kPropertyCount; ++id) props.emplace_back(id, std::to_string(id));
  props[PR_NAME].second = "\"n\"";
  props[PR_PARENT].second = "\"\"";
  PageBuilder b;
  PropsCommand(b, kBoxNew, props);
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  RecordingControl* box = m.Find("n");
  ASSERT_NE(box, nullptr);

  std::vector<int> order;
  auto span = [&](int first, int last) {
    for (int id = first; id <= last; ++id) order.push_back(id);
  };
  for (int id : {2, 7, 132, 100, 5, 6, 3, 4, 8, 157}) order.push_back(id);
  span(9, 14);
  for (int id : {159, 160}) order.push_back(id);
  span(15, 24);
  span(153, 156);
  span(25, 29);
  order.push_back(162);
  span(30, 79);
  order.push_back(161);
  span(80, 99);
  span(101, 131);
  span(133, 152);
  order.push_back(158);
  // Name, parent, priority and tag are kept by the object base; read-only properties take no
  // writes; the particle start positions have no setter.
  const std::vector<int> notSetters = {PR_NAME,   PR_PARENT, PR_PRIORITY, PR_TAG,         PR_CARETX, PR_CARETY,
                                       PR_PLAYING, PR_COMPOTYPE, PR_CARETHEIGHT, PR_APPEARX, PR_APPEARY};
  std::vector<std::string> expected;
  for (int id : order)
    if (std::find(notSetters.begin(), notSetters.end(), id) == notSetters.end()) expected.push_back("set:" + std::to_string(id));
  EXPECT_EQ(Sets(box->Log), expected);
  EXPECT_EQ(box->Log.Steps.back(), "end");
  EXPECT_EQ(box->Log.NameAtFirstSet, "n");
  EXPECT_EQ(box->Log.ParentAtFirstSet, "\x01" "BASE0");
  EXPECT_EQ(box->Priority(), 12);
  EXPECT_EQ(box->Tag, "151");
  EXPECT_EQ(box->Left(), 3);
  EXPECT_TRUE(m.Errors().empty());
}

TEST_F(ObjectCommandTest, ExpressionsWithoutValueTakeTheCreationDefaults) {
  struct Case {
    int id;
    TPropValue value;
  };
  const std::vector<Case> cases = {
      {PR_ZOOMX, TPropValue::OfInt(256)},      {PR_ZOOMY, TPropValue::OfInt(256)},
      {PR_TEXTDELAY, TPropValue::OfInt(256)},  {PR_COLOR, TPropValue::OfInt(-1)},
      {PR_BORDERCOLOR, TPropValue::OfInt(-1)}, {PR_HOVERCOLOR, TPropValue::OfInt(-1)},
      {PR_ALPHA, TPropValue::OfInt(255)},      {PR_FONTHEIGHT, TPropValue::OfInt(16)},
      {PR_VOLUME, TPropValue::OfInt(1000)},    {PR_WAVELEN, TPropValue::OfInt(100)},
      {PR_COLCOUNT, TPropValue::OfInt(1)},     {PR_ROWCOUNT, TPropValue::OfInt(1)},
      {PR_AMP, TPropValue::OfInt(1)},          {PR_SMALLCHANGE, TPropValue::OfInt(1)},
      {PR_LARGECHANGE, TPropValue::OfInt(1)},  {PR_GLYPHWIDTH, TPropValue::OfInt(1)},
      {PR_GLYPHHEIGHT, TPropValue::OfInt(1)},  {PR_VISIBLE, TPropValue::OfFlag(true)},
      {PR_OVERLAY, TPropValue::OfFlag(true)},  {PR_LEFT, TPropValue::OfInt(0)},
      {PR_PAUSED, TPropValue::OfFlag(false)},  {PR_TEXT, TPropValue::OfStr("")},
      {PR_PARAM1, TPropValue::OfFloat(0)},     {PR_BRIGHTNESS, TPropValue::OfInt(0)},
  };
  std::vector<std::pair<int, std::string>> props = {{PR_NAME, "\"b\""}};
  for (const Case& c : cases) props.emplace_back(c.id, "");
  PageBuilder b;
  PropsCommand(b, kBoxNew, props);
  VarNew(b, "c", 1, "5");
  std::vector<TFieldValue> get;
  get.push_back(FExpr("\"b\""));
  get.push_back(FExpr("8"));
  get.push_back(FStr("c"));
  b.Add(kGetProp, 0, std::move(get));
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  RecordingControl* box = m.Find("b");
  ASSERT_NE(box, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(PropertyName(c.id));
    ASSERT_TRUE(box->Log.Values.count(c.id));
    const TPropValue& v = box->Log.Values[c.id];
    EXPECT_EQ(v.Type, c.value.Type);
    EXPECT_EQ(v.Int, c.value.Int);
    EXPECT_EQ(v.Flag, c.value.Flag);
    EXPECT_EQ(v.Str, c.value.Str);
    EXPECT_EQ(v.Float, c.value.Float);
  }
  // A box whose colour expression is empty has the colour -1, as GetProp reads it.
  EXPECT_EQ(m.Int("c"), -1);
  // A value given wins over the default.
  PageBuilder given;
  PropsCommand(given, kBoxNew, {{PR_NAME, "\"g\""}, {PR_COLOR, "255"}, {PR_ZOOMX, "100 + 28"}});
  given.Register("given.nsb");
  m.cm->Start("given.nsb");
  m.Frame();
  ASSERT_NE(m.Find("g"), nullptr);
  EXPECT_EQ(m.Find("g")->Log.Values[PR_COLOR].Int, 255);
  EXPECT_EQ(m.Find("g")->Log.Values[PR_ZOOMX].Int, 128);
}

TEST_F(ObjectCommandTest, NamesAndParents) {
  struct Case {
    const char* name;    // the PR_NAME expression; nullptr: not carried
    const char* parent;  // the PR_PARENT expression; nullptr: not carried
    bool screenOne;      // the second screen is displayed
    const char* expectName;
    const char* expectParent;
  } cases[] = {
      {"", nullptr, false, "object0", "\x01" "BASE0"},
      {nullptr, nullptr, false, "object0", "\x01" "BASE0"},
      {"\"a\"", nullptr, false, "a", "\x01" "BASE0"},
      {"\"a\"", "\"holder\"", false, "a", "holder"},
      {"\"a\"", "\"\"", false, "a", "\x01" "BASE0"},
      {"\"a\"", "", false, "a", "\x01" "BASE0"},
      {"\"a\"", "\"nothing\"", false, "a", "\x01" "BASE0"},
      {"\"a\"", "\"tick\"", false, "a", "\x01" "BASE0"},  // a timer is no parent
      {"\"a\"", nullptr, true, "a", "\x01" "BASE1"},
      {"\"a\"", "\"\x01\"", false, "a", "\x01" "BASE1"},  // the back screen by its short name
      {"\"holder\"", nullptr, false, "holder", "\x01" "BASE0"},  // the old holder is renamed
      {"\"a\"", "\"a\"", false, "a", "\x01" "BASE0"},  // itself: no cycle, the displayed screen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name ? c.name : "-") + " / " + (c.parent ? c.parent : "-"));
    std::vector<std::pair<int, std::string>> props = {{PR_LEFT, "1"}};
    if (c.name) props.emplace_back(PR_NAME, c.name);
    if (c.parent) props.emplace_back(PR_PARENT, c.parent);
    PageBuilder b;
    PropsCommand(b, kBoxNew, props);
    b.Register("main.nsb");
    ObjectMachine m;
    TNovaControl* holder = m.scene.Make<RecordingControl>(LT_BOX);
    holder->SetName("holder");
    holder->SetParent(&m.scene.GetScreen(1));
    m.scene.Make<RecordingComponent>(LT_TIMER)->SetName("tick");
    if (c.screenOne) m.scene.StartTransition(1);
    m.cm->Start("main.nsb");
    m.Frame();
    RecordingControl* made = m.Find(c.expectName);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made, holder);
    ASSERT_NE(made->Parent(), nullptr);
    EXPECT_EQ(made->Parent()->Name(), c.expectParent);
    EXPECT_EQ(made->Left(), 1);
  }
  // Taking an existing name renames the other control.
  PageBuilder b;
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"holder\""}});
  b.Register("main.nsb");
  ObjectMachine m;
  TNovaControl* holder = m.scene.Make<RecordingControl>(LT_BOX);
  holder->SetName("holder");
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(holder->Name(), "holder_2");
}

TEST_F(ObjectCommandTest, AClassWithoutMakerCreatesNothingAndTheFlowGoesOn) {
  PageBuilder b;
  PropsCommand(b, kMesNew, {{PR_NAME, "\"mes\""}, {PR_LEFT, "x = 7"}});
  VarNew(b, "after", 1, "1");
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.scene.ObjectCount(), 0);
  EXPECT_EQ(m.Int("after"), 1);
  EXPECT_FALSE(m.Has("x"));  // no property was evaluated
}

TEST_F(ObjectCommandTest, ImagesAndParticlesGetTheirExpressionsBeforeTheProperties) {
  PageBuilder b;
  VarNew(b, "d", 1, "21");
  PropsCommand(b, kImgNew, {{PR_NAME, "\"img\""}, {PR_DELAY, "d * 2"}, {PR_LEFT, "1"}});
  PropsCommand(b, kParticleNew,
               {{PR_NAME, "\"p\""}, {PR_APPEARX, "d + 1"}, {PR_APPEARY, "d + 2"}, {PR_DELAY, "d + 3"}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"box\""}, {PR_DELAY, "d"}});
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  RecordingControl* img = m.Find("img");
  RecordingControl* particle = m.Find("p");
  ASSERT_TRUE(img && particle && m.Find("box"));
  EXPECT_EQ(img->Log.Steps.front(), "take:26");
  EXPECT_EQ(img->Log.Values[PR_DELAY].Int, 42);
  EXPECT_EQ((std::vector<std::string>{particle->Log.Steps.begin(), particle->Log.Steps.begin() + 3}),
            (std::vector<std::string>{"take:92", "take:93", "take:26"}));
  // The start positions reach the emitter only as expressions, without an error.
  const std::vector<std::string> sets = Sets(particle->Log);
  EXPECT_EQ(std::count(sets.begin(), sets.end(), "set:92") + std::count(sets.begin(), sets.end(), "set:93"), 0);
  EXPECT_EQ(particle->Log.Steps.back(), "end");
  EXPECT_TRUE(m.Errors().empty());
  EXPECT_TRUE(m.Find("box")->Log.Taken.empty());  // a box evaluates its delay as a value
  // The copies are the object's own: they evaluate against the store whenever it asks.
  m.store->FindParam("d")->Param->SetAsInt(100);
  TNovaParser& copy = *img->Log.Taken[PR_DELAY];
  copy.Execute(*m.store, *m.funcs);
  ASSERT_TRUE(copy.Result);
  EXPECT_EQ(copy.Result->GetAsInt(), 200);
  particle->Log.Taken[PR_APPEARY]->Execute(*m.store, *m.funcs);
  EXPECT_EQ(particle->Log.Taken[PR_APPEARY]->Result->GetAsInt(), 102);
}

TEST_F(ObjectCommandTest, MoviesAndSoundsPlayWhenDelayedAndMenusOpen) {
  struct Case {
    int code;
    const char* delay;  // nullptr: not carried
    std::vector<std::string> tail;
  } cases[] = {
      {kMovie, "500", {"set:26", "play:1", "end"}},
      {kMovie, "0", {"set:26", "end"}},
      {kSound, "250", {"set:26", "play:1", "end"}},
      {kSound, "", {"set:26", "end"}},
      {kSound, nullptr, {"set:3", "end"}},
      {kMenu, nullptr, {"set:3", "menu:1", "end"}},
      {kBoxNew, "5", {"set:26", "end"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " " + (c.delay ? c.delay : "-"));
    std::vector<std::pair<int, std::string>> props = {{PR_NAME, "\"o\""}, {PR_LEFT, "3"}};
    if (c.delay) props.emplace_back(PR_DELAY, c.delay);
    PageBuilder b;
    PropsCommand(b, c.code, props);
    b.Register("main.nsb");
    ObjectMachine m;
    m.cm->Start("main.nsb");
    m.Frame();
    TNovaObject* o = m.scene.FindObject("o");
    ASSERT_NE(o, nullptr);
    const CreationLog& log = dynamic_cast<RecordingControl*>(o) ? dynamic_cast<RecordingControl*>(o)->Log
                                                                 : dynamic_cast<RecordingComponent*>(o)->Log;
    ASSERT_GE(log.Steps.size(), c.tail.size());
    EXPECT_EQ(std::vector<std::string>(log.Steps.end() - static_cast<std::ptrdiff_t>(c.tail.size()), log.Steps.end()),
              c.tail);
  }
}

TEST_F(ObjectCommandTest, GetPropAndSetProp) {
  PageBuilder b;
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"b\""}});
  VarNew(b, "v", 1, "0");
  VarNew(b, "s", 4, "\"\"");
  VarNew(b, "t", 1, "-5");
  ExprCommand(b, kSetProp, {"\"b\"", "3", "17"});
  auto get = [&](const std::string& object, const std::string& prop, const std::string& var) {
    std::vector<TFieldValue> f;
    f.push_back(FExpr(object));
    f.push_back(FExpr(prop));
    f.push_back(FStr(var));
    b.Add(kGetProp, 0, std::move(f));
  };
  get("\"b\"", "3", "v");
  get("\"b\"", "0", "s");
  ExprCommand(b, kSetProp, {"\"nobody\"", "3", "1"});  // no such object: nothing
  get("\"b\"", "3", "missing");                        // no such variable: nothing
  ExprCommand(b, kSetProp, {"\"b\"", "4", ""});        // no value: nothing
  ExprCommand(b, kSetProp, {"\"b\"", "", "1"});        // no property number: an error
  ExprCommand(b, kSetProp, {"\"b\"", "200", "1"});
  get("\"b\"", "163", "t");
  ExprCommand(b, kSetProp, {"\"b\"", "92", "1"});  // PR_APPEARX cannot be set
  VarNew(b, "done", 1, "1");
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  RecordingControl* box = m.Find("b");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Left(), 17);
  EXPECT_EQ(box->Top(), 0);
  EXPECT_EQ(m.Int("v"), 17);
  EXPECT_EQ(m.Str("s"), "b");
  EXPECT_EQ(m.Int("t"), -5);
  EXPECT_EQ(m.Int("done"), 1);  // every failing command moved on
  const std::vector<std::string> errors = m.Errors();
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_NE(errors[0].find("プロパティ指定が不正です"), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find("SetPropエラー"), std::string::npos) << errors[1];
  EXPECT_NE(errors[2].find("GetPropエラー"), std::string::npos) << errors[2];
  EXPECT_NE(errors[3].find("SetPropエラー"), std::string::npos) << errors[3];
}

TEST_F(ObjectCommandTest, ObjDelDeletesAtTheEndOfTheFramesUpdate) {
  PageBuilder b;
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"a\""}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"child\""}, {PR_PARENT, "\"a\""}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"b\""}});
  ExprCommand(b, kObjDel, {"\"a\""});
  ExprCommand(b, kObjDel, {"\"zz\""});
  ExprCommand(b, kObjDel, {"\"\""});  // the displayed screen stays
  VarNew(b, "done", 1, "1");
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("done"), 1);
  ASSERT_NE(m.Find("a"), nullptr);
  EXPECT_TRUE(m.Find("a")->IsPendingDeletion());
  m.scene.UpdateScene(16);
  EXPECT_EQ(m.Find("a"), nullptr);
  EXPECT_EQ(m.Find("child"), nullptr);
  EXPECT_NE(m.Find("b"), nullptr);
  EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), (std::vector<std::string>{"b"}));
  EXPECT_TRUE(m.Errors().empty());
}

}  // namespace
}  // namespace nova::test
