// PropMotion: the command sets a motion up from its expressions; the motion then moves the
// property frame by frame.
#include <gtest/gtest.h>

#include "objects/nova_control.h"
#include "objects/nova_prop_motion.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

constexpr int kPropMotion = 57;

void PropMotionCmd(PageBuilder& b, std::vector<std::string> exprs) {
  std::vector<TFieldValue> f;
  for (const std::string& e : exprs) f.push_back(FExpr(e));
  b.Add(kPropMotion, 0, std::move(f));
}

TEST(PropMotionCommand, MovesTheNamedPropertyAndEnds) {
  FreshFileManager();
  PageBuilder b;
  PropMotionCmd(b, {"\"slide\"", "\"box\"", "3", "100", "160", "0", ""});
  b.Register("main.nsb");
  Machine m;
  TNovaControl* box = m.scene.Make<TNovaControl>();
  box->SetName("box");
  box->SetParent(&m.scene.Displayed());
  m.cm->Start("main.nsb");
  m.Frame();
  TNovaObject* motion = m.scene.FindObject("slide");
  ASSERT_NE(motion, nullptr);
  EXPECT_EQ(motion->TypeCode(), LT_PROPMOTION);
  const TObjectRef ref(motion);
  for (int i = 0; i < 12 && m.scene.Resolve(ref); ++i) m.scene.UpdateScene(16);
  EXPECT_EQ(box->Left(), 100);
  EXPECT_EQ(m.scene.Resolve(ref), nullptr);
}

TEST(PropMotionCommand, APropertyNumberWithoutValueIsAnErrorAndLeavesNoMotion) {
  FreshFileManager();
  PageBuilder b;
  PropMotionCmd(b, {"\"m\"", "\"box\"", "", "100", "160", "0", "TRUE"});
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.scene.ObjectCount(), 0);
}

TEST(PropMotionCommand, TheLastValueStartsTheMotionPaused) {
  FreshFileManager();
  PageBuilder b;
  PropMotionCmd(b, {"", "\"box\"", "4", "50", "100", "2", "TRUE"});
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  ASSERT_EQ(m.scene.ObjectCount(), 1);
  TNovaObject* motion = m.scene.Object(0);
  EXPECT_EQ(motion->Name(), "object0");
  EXPECT_TRUE(motion->Paused());
}

}  // namespace
}  // namespace nova::test
