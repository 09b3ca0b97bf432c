// Frame animation: frame times with and without carried overshoot, repeat, the play-end event,
// auto-scrap, the last-frame wait expression of the creation command, pausing and PR_PLAYING.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/images/nova_images.h"

namespace nova::test {
namespace {

struct AnimScene : ComponentScene {
  AnimScene() {
    for (int n : {1, 2, 3}) {
      std::vector<BriFrame> frames;
      for (int i = 0; i < n; ++i) frames.push_back(Solid(4, 4, 0x100000u * (i + 1), 100));
      AddFile("f" + std::to_string(n) + ".bri", BriBytes(frames));
    }
  }
  TNovaImages* Anim(int frames, std::vector<std::pair<int, TPropValue>> props = {}) {
    props.insert(props.begin(), {PR_SOURCE, Str("f" + std::to_string(frames) + ".bri")});
    props.push_back({PR_ONPLAYEND, Str("end")});
    return Create<TNovaImages>(LT_IMAGES, "i", props);
  }
  // The frame index after each of n updates of ms milliseconds.
  std::vector<int32_t> Indices(TNovaImages* img, int n, uint32_t ms) {
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i) {
      Frame(ms);
      out.push_back(ReadProperty(*img, PR_INDEX).Int);
    }
    return out;
  }
};

TEST(ImageAnimation, ShortAnimationsShowEveryFrameItsFullTimeLongerOnesCarryTheOvershoot) {
  struct Case {
    int frames;
    std::vector<int32_t> indices;  // after each 30 ms update
  };
  const Case cases[] = {
      // 100 ms frames: the switch comes at the fourth update; two frames restart their time.
      {2, {0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1}},
      // Three frames keep the 20 ms overshoot: switches at 120, 210 and 300 ms.
      {3, {0, 0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    AnimScene f;
    TNovaImages* img = f.Anim(c.frames, {{PR_REPEAT, Flag(true)}});
    EXPECT_EQ(f.Indices(img, 12, 30), c.indices) << c.frames << " frames";
    EXPECT_TRUE(f.Events().empty());
  }
}

TEST(ImageAnimation, TheEndIsAnnouncedOnceOrTheImageIsScrapped) {
  AnimScene f;
  TNovaImages* img = f.Anim(2);
  EXPECT_TRUE(ReadProperty(*img, PR_PLAYING).Flag);
  f.Indices(img, 7, 30);  // 210 ms: still on the last frame's time
  EXPECT_TRUE(f.Events().empty());
  f.Frame(30);
  EXPECT_EQ(f.Events(), std::vector<std::string>{"i:43"});
  EXPECT_FALSE(ReadProperty(*img, PR_PLAYING).Flag);
  f.ClearEvents();
  f.Indices(img, 10, 30);
  EXPECT_TRUE(f.Events().empty());
  EXPECT_EQ(ReadProperty(*img, PR_INDEX).Int, 1);
  // Turning repeat on starts again.
  WriteProperty(*img, PR_REPEAT, Flag(true));
  f.Frame(30);
  EXPECT_EQ(ReadProperty(*img, PR_INDEX).Int, 0);

  AnimScene g;
  g.Anim(2, {{PR_AUTOSCRAP, Flag(true)}});
  for (int i = 0; i < 7; ++i) g.Frame(30);
  EXPECT_NE(g.scene.FindObject("i"), nullptr);
  g.Frame(30);
  EXPECT_EQ(g.scene.FindObject("i"), nullptr);
  EXPECT_TRUE(g.Events().empty());
}

TEST(ImageAnimation, TheDelayExpressionLengthensTheLastFrameEachTimeItIsShown) {
  AnimScene f;
  TParamCollectionItem* n = f.store.AddParam(PT_INT);
  f.store.SetParamName(n, "n");
  n->Param->SetAsInt(5);
  TNovaObject* o = f.scene.CreateObject(LT_IMAGES);
  o->TakeExpression(PR_DELAY, std::shared_ptr<TNovaParser>(CompileExpression("n * 10")));
  o->SetName("i");
  auto* img = static_cast<TNovaImages*>(o);
  img->SetParent(&f.scene.Displayed());
  WriteProperty(*img, PR_SOURCE, Str("f2.bri"));
  WriteProperty(*img, PR_ONPLAYEND, Str("end"));
  EXPECT_EQ(ReadProperty(*img, PR_DELAY).Int, 0);  // images do not show the delay as a property
  // Frame 1 lasts 100 + 5 x 10 ms: the end comes with the 25th 10-ms update, not the 20th.
  for (int i = 0; i < 24; ++i) f.Frame(10);
  EXPECT_TRUE(f.Events().empty());
  f.Frame(10);
  EXPECT_EQ(f.Events(), std::vector<std::string>{"i:43"});
}

TEST(ImageAnimation, PausedHiddenOrAnimationPausedImagesStand) {
  struct Case {
    int property;
    TPropValue value;
  };
  const Case cases[] = {{PR_PAUSED, Flag(true)}, {PR_ANIPAUSED, Flag(true)}, {PR_VISIBLE, Flag(false)}};
  for (const Case& c : cases) {
    AnimScene f;
    TNovaImages* img = f.Anim(3, {{c.property, c.value}});
    f.Indices(img, 10, 30);
    EXPECT_EQ(ReadProperty(*img, PR_INDEX).Int, 0) << c.property;
    if (c.property != PR_VISIBLE) {
      EXPECT_FALSE(ReadProperty(*img, PR_PLAYING).Flag);
    }
  }
}

TEST(ImageAnimation, IndexAndCountByProperty) {
  AnimScene f;
  f.scene.Displayed().SetColor(0);
  TNovaImages* img = f.Anim(3, {{PR_PAUSED, Flag(true)}});
  EXPECT_EQ(ReadProperty(*img, PR_COUNT).Int, 3);
  WriteProperty(*img, PR_COUNT, Int(9));  // read-only
  EXPECT_EQ(ReadProperty(*img, PR_COUNT).Int, 3);
  WriteProperty(*img, PR_INDEX, Int(2));
  f.Frame();
  EXPECT_EQ(f.Px(1, 1), 0x300000u);
  // A jump from a valid frame keeps the time left of the old one.
  EXPECT_EQ(img->FrameCountdown(), 200);
}

}  // namespace
}  // namespace nova::test
