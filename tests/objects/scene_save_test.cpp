// The serialised scene: objects with their children, components, the event queue and the focus
// come back as they were; old versions leave newer fields at their defaults; damaged data fails.
#include <gtest/gtest.h>

#include "base/error.h"
#include "base/stream.h"
#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

constexpr int32_t kVersion = 138;

TEST(SceneSave, RoundTripKeepsObjectsEventsAndFocusWithoutFocusEvents) {
  SceneFixture f;
  TestBox* parent = f.Box("parent", 5, 6, 30, 20, nullptr, 0x112233);
  TestBox* child = f.Box("child", 1, 2, 3, 4, parent);
  child->SetPriority(4);
  child->SetSubOrder(2);
  child->Tag = "t";
  child->SetProperty(PR_ONFOCUSIN, TPropValue::OfStr("in.nsb"));
  child->SetProperty(PR_CLIPWIDTH, TPropValue::OfInt(9));
  child->SetHandleKey(true);
  child->onIdle = "idle.nsb";
  f.Box("\x01hidden", 0, 0, 1, 1);  // system names are not saved
  f.Box("on back", 7, 7, 7, 7, &f.scene.BackScreen());
  TestTimer* timer = f.scene.Make<TestTimer>();
  timer->SetName("timer");
  timer->onIdle = "tick.nsb";
  TestTimer* doomed = f.scene.Make<TestTimer>();
  doomed->MarkForDeletion();
  f.Frame();
  ASSERT_EQ(f.scene.Focus(), child);
  f.scene.Events().Clear();
  f.scene.Events().PostEvent(TEventSender(child), "a.nsb:lbl", {"1", "two"}, PR_ONLBTNDOWN);
  // A running event whose sender is gone is saved without one.
  TestTimer* gone = f.scene.Make<TestTimer>();
  gone->SetName("gone");
  f.scene.Events().PostEvent(TEventSender(gone), "b.nsb", {}, PR_ONNOTIFY);
  f.scene.Events().Entry(1).Level = 2;
  f.scene.FreeObject(gone);

  TKtMemoryStream s;
  f.scene.SaveScene(s);
  SceneFixture g;
  s.SetPosition(0);
  g.scene.LoadScene(s, kVersion);
  EXPECT_EQ(s.Remaining(), 0);

  auto* p2 = dynamic_cast<TestBox*>(g.scene.FindObject("parent"));
  auto* c2 = dynamic_cast<TestBox*>(g.scene.FindObject("child"));
  ASSERT_TRUE(p2 && c2);
  EXPECT_EQ(p2->Parent(), &g.scene.Displayed());
  EXPECT_EQ(c2->Parent(), p2);
  EXPECT_EQ((TRect{c2->Left(), c2->Top(), c2->Width(), c2->Height()}), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(p2->Color(), 0x112233);
  EXPECT_EQ(c2->Priority(), 4);
  EXPECT_EQ(c2->SubOrder(), 2);
  EXPECT_EQ(c2->Tag, "t");
  EXPECT_EQ(c2->onIdle, "idle.nsb");
  EXPECT_EQ(c2->EventText(PR_ONFOCUSIN), "in.nsb");
  TPropValue clip;
  c2->GetProperty(PR_CLIPWIDTH, clip);
  EXPECT_EQ(clip.Int, 9);
  EXPECT_EQ(g.scene.FindObject("\x01hidden"), nullptr);
  ASSERT_NE(g.scene.FindObject("on back"), nullptr);
  EXPECT_EQ(static_cast<TNovaControl*>(g.scene.FindObject("on back"))->Screen(), &g.scene.BackScreen());
  auto* t2 = dynamic_cast<TestTimer*>(g.scene.FindObject("timer"));
  ASSERT_TRUE(t2);
  EXPECT_EQ(t2->onIdle, "tick.nsb");
  EXPECT_EQ(g.scene.ObjectCount(), 4);  // parent, child, on back, timer
  EXPECT_EQ(g.Events(), (std::vector<std::string>{"child:36(1,two)", ":33"}));
  EXPECT_EQ(g.scene.Events().Entry(0).PageRef, "a.nsb:lbl");
  EXPECT_EQ(g.scene.Events().Entry(1).Level, 2);
  EXPECT_EQ(g.scene.Focus(), c2);
  g.Frame();
  EXPECT_EQ(g.scene.Focus(), c2);
  for (const std::string& e : g.Events()) EXPECT_NE(e, "child:148");
}

TEST(SceneSave, OldVersionsLeaveNewerFieldsAtTheirDefaults) {
  // A version-103 control record: no sub-order, tag, motion/plus, clip, key events or focus.
  TKtMemoryStream s;
  s.WriteInt32(64), s.WriteInt32(48), s.WriteInt32(0);
  auto screen = [&](const char* name, int32_t children) {
    s.WriteString(name);
    s.WriteInt32(0);                                        // priority
    for (int32_t v : {0, 0, 64, 48, 0, 0}) s.WriteInt32(v);  // rectangle, offsets
    s.WriteByte(0);                                         // position-zoomed
    s.WriteByte(1);                                         // visible
    s.WriteInt32(0);                                        // colour
    for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
    s.WriteByte(0);
    s.WriteString("");                                      // cursor
    for (int i = 0; i < 9; ++i) s.WriteString("");         // mouse move, in, out .. wheel up
    s.WriteInt32(children);
  };
  screen("\x01" "BASE0", 1);
  s.WriteByte(LT_BOX);
  s.WriteString("old");
  s.WriteInt32(3);
  for (int32_t v : {4, 5, 6, 7, 0, 0}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteByte(1);
  s.WriteInt32(0xABCDEF);
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(IM_CLICK);
  s.WriteString("c.cur");
  s.WriteString("move.nsb");
  for (int i = 0; i < 8; ++i) s.WriteString("");
  s.WriteInt32(0);
  s.WriteString("idle.nsb");  // the test box's own field
  screen("\x01" "BASE1", 0);
  s.WriteInt32(0);                   // components
  s.WriteInt32(1);                   // one event with a one-byte owner
  s.WriteString("e.nsb");
  s.WriteString("old");
  s.WriteByte(PR_ONMOUSEMOVE);
  s.WriteByte(7);
  s.WriteInt32(0);
  s.SetPosition(0);
  SceneFixture f;
  f.scene.LoadScene(s, 103);
  EXPECT_EQ(s.Remaining(), 0);
  auto* old = dynamic_cast<TestBox*>(f.scene.FindObject("old"));
  ASSERT_TRUE(old);
  EXPECT_EQ(old->Priority(), 3);
  EXPECT_EQ(old->SubOrder(), 0);
  EXPECT_EQ(old->Tag, "");
  EXPECT_EQ(old->IgnoreMouse(), IM_CLICK);
  EXPECT_EQ(old->Cursor(), "c.cur");
  EXPECT_EQ(old->EventText(PR_ONMOUSEMOVE), "move.nsb");
  EXPECT_TRUE(old->ClipRect().Empty());
  EXPECT_FALSE(old->HandleKey());
  EXPECT_EQ(old->ScreenLeft(), 4);
  EXPECT_EQ(f.scene.Events().Entry(0).Level, 1);
}

TEST(SceneSave, DamagedDataFailsWithoutLeavingHalfObjects) {
  SceneFixture f;
  f.Box("b", 0, 0, 4, 4);
  TKtMemoryStream good;
  f.scene.SaveScene(good);
  const std::string bytes(good.Data());
  struct Case {
    const char* what;
    std::string data;
  };
  std::string unknownType = bytes;
  // The child's type code follows the first screen's fixed fields; find it by the box name.
  const size_t nameAt = unknownType.find(std::string("\x01\x00\x00\x00" "b", 5));
  ASSERT_NE(nameAt, std::string::npos);
  unknownType[nameAt - 1] = 10;  // a code without a class
  std::string hugeSize = bytes;
  hugeSize[3] = 0x7F;
  const Case cases[] = {{"truncated", bytes.substr(0, bytes.size() / 2)},
                        {"unknown type", unknownType},
                        {"huge size", hugeSize}};
  for (const Case& c : cases) {
    SceneFixture g;
    TKtMemoryStream s(c.data);
    EXPECT_THROW(g.scene.LoadScene(s, kVersion), std::exception) << c.what;
    g.scene.Clear();
    EXPECT_EQ(g.scene.ObjectCount(), 0);
  }
}

}  // namespace
}  // namespace nova::test
