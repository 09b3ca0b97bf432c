// Property access by number, parents, visibility, drawing order and coordinates.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "objects/object_fixtures.h"
#include "objects/property_access.h"
#include "params/param.h"

namespace nova::test {
namespace {

TEST(PropertyAccess, UnsupportedPropertiesReadTheTableValueAndIgnoreWrites) {
  SceneFixture f;
  TestBox* box = f.Box("b", 1, 2, 30, 20);
  TestTimer* timer = f.scene.Make<TestTimer>();
  struct Case {
    TNovaObject* object;
    int id;
    std::string expected;
  };
  const Case cases[] = {
      {timer, PR_FONTNAME, ""},     {box, PR_ZOOMX, "256"},         {box, PR_INDEX, "-1"},
      {timer, PR_COLOR, "16777215"}, {box, PR_ORIGWIDTH, "30"},      {box, PR_ORIGHEIGHT, "20"},
      {box, PR_REWINDONLOAD, "TRUE"}, {box, PR_PARAM1, "0"},         {box, PR_APPEARX, "0"},
      {timer, PR_PARENT, ""},       {box, PR_COMPOTYPE, "2"},       {timer, PR_COMPOTYPE, "15"},
      {box, PR_TEXTDELAY, "256"},   {box, PR_PARENT, "\x01" "BASE0"}, {timer, PR_VISIBLE, "FALSE"},
  };
  for (const Case& c : cases) {
    TParamStr out;
    GetPropById(out, *c.object, c.id);
    EXPECT_EQ(out.GetAsStr(), c.expected) << "property " << c.id;
    if (c.id == PR_APPEARX) continue;
    TParamInt write;
    write.SetAsInt(77);
    SetPropById(*c.object, c.id, write);
    GetPropById(out, *c.object, c.id);
    EXPECT_EQ(out.GetAsStr(), c.expected) << "property " << c.id << " after a write";
  }
  TPropValue v = ReadProperty(*box, PR_ZOOMX);
  EXPECT_EQ(v.Int, 256);
  EXPECT_EQ(ReadProperty(*box, PR_COMPOTYPE).Int, LT_BOX);
  EXPECT_EQ(ReadProperty(*box, PR_PARAM2).Type, PT_FLOAT);
}

TEST(PropertyAccess, OutOfRangeNumbersAndStartPositionsFail) {
  SceneFixture f;
  TestBox* box = f.Box("b", 0, 0, 1, 1);
  TParamInt v;
  try {
    GetPropById(v, *box, 163);
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(std::string(e.what()), Utf8ToSjis("GetPropエラー"));
  }
  for (int id : {163, -1, int{PR_APPEARX}, int{PR_APPEARY}}) {
    try {
      SetPropById(*box, id, v);
      FAIL() << id;
    } catch (const ENovaError& e) {
      EXPECT_EQ(std::string(e.what()), Utf8ToSjis("SetPropエラー"));
    }
  }
}

TEST(PropertyAccess, ConversionsStyleBitsNamePriorityAndTag) {
  SceneFixture f;
  TestBox* box = f.Box("b", 0, 0, 1, 1);
  TParamStr text;
  text.SetAsStr("17");
  SetPropById(*box, PR_FONTSTYLE, text);
  EXPECT_EQ(ReadProperty(*box, PR_FONTSTYLE).Int, 1);
  text.SetAsStr("5");
  SetPropById(*box, PR_FONTSTYLE, text);
  EXPECT_EQ(ReadProperty(*box, PR_FONTSTYLE).Int, 5);
  TParamFloat real;
  real.SetAsFloat(12.9);
  SetPropById(*box, PR_LEFT, real);
  EXPECT_EQ(box->Left(), 12);
  text.SetAsStr("renamed");
  SetPropById(*box, PR_NAME, text);
  EXPECT_EQ(f.scene.FindObject("renamed"), box);
  text.SetAsStr("note");
  SetPropById(*box, PR_TAG, text);
  EXPECT_EQ(box->Tag, "note");
  TParamInt seven;
  seven.SetAsInt(7);
  SetPropById(*box, PR_COMPOTYPE, seven);  // read-only
  EXPECT_EQ(ReadProperty(*box, PR_COMPOTYPE).Int, LT_BOX);
  box->SetSubOrder(3);
  SetPropById(*box, PR_PRIORITY, seven);
  EXPECT_EQ(box->Priority(), 7);
  EXPECT_EQ(box->SubOrder(), 0);
  TParamFlag flag;
  GetPropById(flag, *box, PR_VISIBLE);
  EXPECT_TRUE(flag.GetAsBool());
}

TEST(Parents, AssignmentRulesAndInheritedVisibility) {
  SceneFixture f;
  TestBox* a = f.Box("a", 0, 0, 10, 10);
  TestBox* b = f.Box("b", 0, 0, 5, 5, a);
  TestBox* c = f.Box("c", 0, 0, 2, 2, b);
  TParamStr name;
  name.SetAsStr("c");
  SetPropById(*a, PR_PARENT, name);  // its own grandchild: ignored
  EXPECT_EQ(a->Parent(), &f.scene.Displayed());
  name.SetAsStr("nothing");
  SetPropById(*c, PR_PARENT, name);
  EXPECT_EQ(c->Parent(), b);
  name.SetAsStr("");
  SetPropById(*c, PR_PARENT, name);
  EXPECT_EQ(c->Parent(), &f.scene.Displayed());
  SetPropById(f.scene.Displayed(), PR_PARENT, name);  // screens keep their place
  EXPECT_EQ(f.scene.Displayed().Parent(), nullptr);
  c->SetParent(b);
  a->SetVisible(false);
  EXPECT_FALSE(ReadProperty(*c, PR_VISIBLE).Flag);
  EXPECT_TRUE(c->OwnVisible());
  a->SetVisible(true);
  EXPECT_TRUE(ReadProperty(*c, PR_VISIBLE).Flag);
  f.scene.Make<TestBox>()->SetName("loose");
  EXPECT_FALSE(ReadProperty(*f.scene.FindObject("loose"), PR_VISIBLE).Flag);  // no parent yet
}

TEST(DrawingOrder, PriorityThenNamesWithSystemObjectsBelowAndTheSnapshotOnTop) {
  SceneFixture f;
  TestBox* z = f.Box("z", 0, 0, 1, 1);
  TestBox* y = f.Box("y", 0, 0, 1, 1);
  TestBox* sys = f.Box("x", 0, 0, 1, 1);
  sys->SetNameDirect("\x01sys");
  TestBox* snap = f.Box("w", 0, 0, 1, 1);
  snap->SetNameDirect("\x01\x01");
  snap->SetPriority(-100);
  sys->SetPriority(100);
  z->SetPriority(5);
  y->SetPriority(5);
  f.scene.Displayed().SortChildren();
  std::vector<TNovaControl*> expected{sys, y, z, snap};
  EXPECT_EQ(f.scene.Displayed().Children(), expected);
  y->SetPriority(6);
  expected = {sys, z, y, snap};
  EXPECT_EQ(f.scene.Displayed().Children(), expected);
  z->SetSubOrder(2);  // 5 + 2 passes 6
  expected = {sys, y, z, snap};
  EXPECT_EQ(f.scene.Displayed().Children(), expected);
}

TEST(Coordinates, OffsetsZoomFlipsParentsAndPlus) {
  class Zoomed : public TestBox {
  public:
    using TestBox::TestBox;
    int32_t ZoomX() const override { return zoomX; }
    int32_t ZoomY() const override { return zoomY; }
    bool FlipH() const override { return flipH; }
    int32_t ScrollX() const override { return scrollX; }
    int32_t zoomX = 256, zoomY = 256, scrollX = 0;
    bool flipH = false;
  };
  SceneFixture f;
  Zoomed* parent = f.scene.Make<Zoomed>();
  parent->SetParent(&f.scene.Displayed());
  parent->SetBounds(100, 50, 40, 40);
  Zoomed* o = f.scene.Make<Zoomed>();
  o->SetParent(parent);
  o->SetBounds(10, 20, 30, 16);
  EXPECT_EQ(o->ScreenLeft(), 110);
  EXPECT_EQ(o->ScreenTop(), 70);
  o->SetOffsetX(7);
  o->zoomX = 512;  // anchor 14
  EXPECT_EQ(o->ScreenLeft(), 96);
  o->flipH = true;  // anchor width - 14 - 1
  EXPECT_EQ(o->ScreenLeft(), 110 - 15);
  TParamInt on;
  on.SetAsInt(1);
  SetPropById(*o, PR_POSZOOMED, on);  // left 10 becomes 20
  EXPECT_EQ(o->ScreenLeft(), 120 - 15);
  parent->scrollX = 4;
  SetPropById(*o, PR_PLUSX, on);
  EXPECT_EQ(o->ScreenLeft(), 120 - 15 - 4 + 1);
  EXPECT_EQ(o->LocalLeft(), 20 - 15 + 1);
  EXPECT_EQ(o->AnchorPoint().X, 20 + 100 - 4 + 1);
  o->SetOffsetX(-3);  // negative anchors truncate toward zero: -3 * 512 / 256 = -6
  o->flipH = false;
  EXPECT_EQ(o->LocalLeft(), 20 + 6 + 1);
  // The clip rectangle is relative to the drawn rectangle and off below width/height 1.
  EXPECT_TRUE(o->ClipRect().Empty());
  TParamInt five;
  five.SetAsInt(5);
  SetPropById(*o, PR_CLIPLEFT, five);
  SetPropById(*o, PR_CLIPWIDTH, five);
  EXPECT_TRUE(o->ClipRect().Empty());
  SetPropById(*o, PR_CLIPHEIGHT, five);
  EXPECT_EQ(o->ClipRect(), TRect::FromSize(o->ScreenLeft() + 5, o->ScreenTop(), 5, 5));
}

}  // namespace
}  // namespace nova::test
