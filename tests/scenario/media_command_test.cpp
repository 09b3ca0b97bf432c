// MediaPlay and MovieStop on objects that play a medium: starting, stopping at once, fading
// out with and without waiting, the cases that do nothing, and the running-state record.
#include <gtest/gtest.h>

#include "objects/media_object.h"
#include "scenario/commands_media.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

constexpr int kMovieStop = 21, kMediaPlay = 55;

// A medium that records its play states; a fade-out takes `fadeFrames` updates.
class FakeMedium : public TNovaComponent, public TNovaMediaObject {
public:
  using TNovaComponent::TNovaComponent;
  uint8_t TypeCode() const override { return LT_SOUND; }
  int32_t PlayState() const override { return state; }
  void SetPlayState(int32_t s) override {
    states.push_back(static_cast<uint8_t>(s));
    state = static_cast<uint8_t>(s);
    if (s == LP_STOP) MarkForDeletion();
    if (s == LP_STOPFADE) SetName("\x01SCRAP_" + Name());
  }
  void Replay() override {}
  bool Update(uint32_t) override { return state == LP_STOPFADE && --fadeFrames <= 0; }
  bool GetProperty(int id, TPropValue& v) override {
    if (id == PR_SOURCE) return v = TPropValue::OfStr(source), true;
    if (id == PR_DELAY) return v = TPropValue::OfInt(delay), true;
    return false;
  }
  bool SetProperty(int id, const TPropValue& v) override {
    if (id == PR_DELAY) return delay = v.Int, true;
    return false;
  }
  uint8_t state = LP_STOP;
  std::vector<uint8_t> states;
  std::string source = "bgm.ogg";
  int32_t delay = 0;
  int fadeFrames = 3;
};

void MovieStop(PageBuilder& b, const std::string& object, const std::string& fade, const std::string& wait,
               const std::string& block) {
  std::vector<TFieldValue> f;
  for (const std::string& e : {object, fade, wait, block}) f.push_back(FExpr(e));
  b.Add(kMovieStop, 0, std::move(f));
}

struct MediaMachine {
  explicit MediaMachine(PageBuilder& b) {
    FreshFileManager();
    RegisterFile("bgm.ogg", "data");
    b.Register("main.nsb");
    medium = m.scene.Make<FakeMedium>();
    medium->SetName("bgm");
    medium->state = LP_PLAY;
    ref = TObjectRef(medium);
    m.cm->Start("main.nsb");
  }
  // A frame of the interpreter and then of the objects.
  void Frame() {
    m.Frame();
    m.scene.UpdateScene(16);
  }
  bool Gone() const { return m.scene.Resolve(ref) == nullptr; }
  Machine m;
  FakeMedium* medium = nullptr;
  TObjectRef ref;
};

TEST(MediaCommands, MediaPlayStartsTheNamedMedium) {
  PageBuilder b;
  for (const char* name : {"\"bgm\"", "\"nobody\"", "\"\""}) {
    std::vector<TFieldValue> f;
    f.push_back(FExpr(name));
    b.Add(kMediaPlay, 0, std::move(f));
  }
  MediaMachine mm(b);
  mm.Frame();
  EXPECT_EQ(mm.medium->states, (std::vector<uint8_t>{LP_PLAYFADE}));
}

TEST(MediaCommands, MovieStopWithoutFadeStopsAndDeletesAtOnce) {
  PageBuilder b;
  MovieStop(b, "\"bgm\"", "", "TRUE", "");
  Calc(b, 0, "after = 1");
  MediaMachine mm(b);
  mm.m.store->SetParamName(mm.m.store->AddParam(1), "after");
  mm.m.Frame();
  EXPECT_EQ(mm.medium->states, (std::vector<uint8_t>{LP_STOP}));
  EXPECT_TRUE(mm.medium->IsPendingDeletion());
  mm.m.scene.UpdateScene(16);
  EXPECT_TRUE(mm.Gone());
  mm.Frame();  // the wait ends once the object has gone
  EXPECT_EQ(mm.m.Int("after"), 1);
}

TEST(MediaCommands, MovieStopFadesOutAndWaitsUntilTheMediumHasGone) {
  PageBuilder b;
  MovieStop(b, "\"bgm\"", "300", "TRUE", "TRUE");
  Calc(b, 0, "after = 1");
  MediaMachine mm(b);
  mm.m.store->SetParamName(mm.m.store->AddParam(1), "after");
  mm.Frame();
  EXPECT_EQ(mm.medium->states, (std::vector<uint8_t>{LP_STOPFADE}));
  EXPECT_EQ(mm.medium->delay, 300);
  EXPECT_EQ(mm.medium->Name(), "\x01SCRAP_bgm");
  TCommand* cmd = mm.m.cm->CurrentPage()->Command(0);
  EXPECT_TRUE(cmd->Yields());
  EXPECT_TRUE(cmd->BlocksEvents());
  for (int i = 0; i < 2; ++i) {
    mm.Frame();
    EXPECT_EQ(mm.m.Int("after"), 0) << i;
  }
  EXPECT_TRUE(mm.Gone());
  mm.Frame();
  EXPECT_EQ(mm.m.Int("after"), 1);
}

TEST(MediaCommands, MovieStopWithFadeLeavesMediaThatCannotFade) {
  struct Case {
    const char* source;
    uint8_t state;
    bool fades;
  };
  for (const Case& c : {Case{"bgm.ogg", LP_PLAY, true}, Case{"bgm.ogg", LP_PLAYFADE, true},
                        Case{"missing.ogg", LP_PLAY, false}, Case{"CD_2", LP_PLAY, true},
                        Case{"bgm.ogg", LP_STOP, false}, Case{"bgm.ogg", LP_STOPFADE, false}}) {
    PageBuilder b;
    MovieStop(b, "\"bgm\"", "200", "TRUE", "");
    MediaMachine mm(b);
    mm.medium->source = c.source;
    mm.medium->state = c.state;
    mm.m.Frame();
    EXPECT_EQ(mm.medium->states.size(), c.fades ? 1u : 0u) << c.source << int(c.state);
    // Nothing to wait for: the command has gone on.
    if (!c.fades) {
      EXPECT_EQ(mm.m.cm->CurrentPage(), nullptr) << c.source << int(c.state);
    }
  }
}

TEST(MediaCommands, TheRunningStateKeepsTheMediumWaitedFor) {
  PageBuilder b;
  MovieStop(b, "\"bgm\"", "300", "TRUE", "TRUE");
  MediaMachine mm(b);
  mm.Frame();
  auto* cmd = dynamic_cast<TComMovieStop*>(mm.m.cm->CurrentPage()->Command(0));
  ASSERT_NE(cmd, nullptr);
  TKtMemoryStream saved;
  cmd->SaveState(saved);
  TKtMemoryStream expected;
  WriteStateTag(expected);
  expected.WriteString("\x01SCRAP_bgm");
  expected.WriteByte(1);
  expected.WriteByte(1);
  EXPECT_EQ(saved.Data(), expected.Data());
  // Loaded again, the command finds the medium by that name and waits for it.
  saved.SetPosition(0);
  cmd->LoadState(saved);
  mm.Frame();
  EXPECT_EQ(mm.m.cm->Index(), 0);
  for (int i = 0; i < 3; ++i) mm.Frame();
  EXPECT_TRUE(mm.Gone());
  EXPECT_EQ(mm.m.cm->CurrentPage(), nullptr);
}

}  // namespace
}  // namespace nova::test
