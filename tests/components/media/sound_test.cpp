// The sound object playing through the media managers: what reaches the sound output (the
// headless platform's WAV file), its events, fades, the pause rule, the sound switch, auto-scrap
// and its saved form.
#include <gtest/gtest.h>

#include "components/media/nova_mixer.h"
#include "media/media_items.h"
#include "media_scene.h"

namespace nova::test {
namespace {

TEST(SoundVolume, MapsThePropertyToTheItemsVolume) {
  struct Case {
    int32_t volume;
    bool midi;
    int32_t item;
  };
  for (const Case& c : {Case{1000, false, 0}, Case{1500, false, 0}, Case{500, false, -2500}, Case{1, false, -4995},
                        Case{0, false, -10000}, Case{-3, false, -10000}, Case{500, true, -5000},
                        Case{1000, true, 0}, Case{0, true, -10000}})
    EXPECT_EQ(EffectiveVolume(c.volume, c.midi), c.item) << c.volume << (c.midi ? " midi" : "");
}

TEST(Sound, PlaysToItsEndAndPostsPlayEndOnce) {
  MediaScene m;
  m.Write("a.wav", ToneWav(300));
  TNovaSound* s = m.Sound("s", "a.wav");
  MediaScene::Set(*s, PR_ONPLAYEND, TPropValue::OfStr("end.nsb"));
  s->SetPlayState(LP_PLAY);
  EXPECT_TRUE(MediaScene::Get(*s, PR_PLAYING).Flag);
  m.Frames(45);  // 720 ms
  EXPECT_GT(m.Peak(16, 300), 7000);
  EXPECT_EQ(m.Peak(400, 720), 0);
  EXPECT_EQ(m.Count("s:43"), 1);
  EXPECT_TRUE(s->Ended());
  EXPECT_FALSE(MediaScene::Get(*s, PR_PLAYING).Flag);
  EXPECT_EQ(m.scene.FindObject("s"), s);  // without auto-scrap it stays
}

TEST(Sound, RepeatsWithoutEnding) {
  MediaScene m;
  m.Write("a.wav", ToneWav(300));
  TNovaSound* s = m.Sound("s", "a.wav");
  MediaScene::Set(*s, PR_ONPLAYEND, TPropValue::OfStr("end.nsb"));
  MediaScene::Set(*s, PR_REPEAT, TPropValue::OfFlag(true));
  s->SetPlayState(LP_PLAY);
  m.Frames(63);  // about a second: three times round
  for (uint32_t t = 32; t < 1000; t += 100) EXPECT_GT(m.Peak(t, t + 100), 7000) << t;
  EXPECT_EQ(m.Count("s:43"), 0);
}

TEST(Sound, FadesInOverItsDelay) {
  MediaScene m;
  m.Write("long.wav", ToneWav(2000));
  TNovaSound* s = m.Sound("s", "long.wav");
  MediaScene::Set(*s, PR_DELAY, TPropValue::OfInt(480));
  s->SetPlayState(LP_PLAYFADE);
  EXPECT_EQ(s->PlayState(), LP_PLAYFADE);
  m.Frames(60);
  // Linear in hundredths of a decibel: inaudible at first, full at the end of the fade.
  EXPECT_LT(m.Peak(0, 200), 100);
  int last = 0;
  for (uint32_t t = 200; t < 560; t += 60) {
    const int peak = m.Peak(t, t + 60);
    EXPECT_GE(peak, last) << t;
    last = peak;
  }
  EXPECT_GT(m.Peak(600, 900), 7000);
  // Without a fade time state 1 is a plain play.
  TNovaSound* plain = m.Sound("p", "long.wav");
  plain->SetPlayState(LP_PLAYFADE);
  EXPECT_EQ(plain->PlayState(), LP_PLAY);
}

TEST(Sound, StopWithFadeFreesTheNameAtOnceAndGoesWhenSilent) {
  MediaScene m;
  m.Write("long.wav", ToneWav(3000));
  TNovaSound* s = m.Sound("bgm", "long.wav");
  MediaScene::Set(*s, PR_REPEAT, TPropValue::OfFlag(true));
  s->SetPlayState(LP_PLAY);
  m.Frames(10);
  const TObjectRef fading(s);
  MediaScene::Set(*s, PR_DELAY, TPropValue::OfInt(320));
  s->SetPlayState(LP_STOPFADE);
  EXPECT_EQ(s->Name(), "\x01SCRAP_bgm");
  // A new sound of the same name does not disturb the fading one.
  TNovaSound* next = m.Sound("bgm", "long.wav");
  EXPECT_EQ(next->Name(), "bgm");
  const uint32_t fadeStart = m.Now();
  m.Frames(30);
  EXPECT_EQ(m.scene.Resolve(fading), nullptr);
  EXPECT_GT(m.Peak(fadeStart - 100, fadeStart), 7000);
  EXPECT_EQ(m.Peak(fadeStart + 360, m.Now()), 0);
  EXPECT_EQ(m.scene.FindObject("bgm"), next);
}

TEST(Sound, StopDeletesTheSound) {
  MediaScene m;
  m.Write("a.wav", ToneWav(300));
  TNovaSound* s = m.Sound("s", "a.wav");
  s->SetPlayState(LP_PLAY);
  m.Frames(2);
  s->SetPlayState(LP_STOP);
  EXPECT_TRUE(s->IsPendingDeletion());
  EXPECT_EQ(s->Item(), nullptr);
  m.Frame();
  EXPECT_EQ(m.scene.FindObject("s"), nullptr);
  EXPECT_EQ(m.media->Ogg()->Count(), 0);
}

TEST(Sound, AutoScrapAtTheEndAndWhenTheFileIsMissing) {
  struct Case {
    const char* source;
    bool autoScrap;
    int framesUntilGone;  // -1: stays
  };
  for (const Case& c : {Case{"a.wav", true, 25}, Case{"missing.wav", true, 1}, Case{"missing.wav", false, -1},
                        Case{"a.xyz", false, -1}}) {
    MediaScene m;
    m.Write("a.wav", ToneWav(200));
    m.Write("a.xyz", ToneWav(200));
    TNovaSound* s = m.Sound("s", c.source);
    MediaScene::Set(*s, PR_AUTOSCRAP, TPropValue::OfFlag(c.autoScrap));
    s->SetPlayState(LP_PLAY);
    const TObjectRef ref(s);
    m.Frames(25);
    if (c.framesUntilGone < 0) {
      ASSERT_NE(m.scene.Resolve(ref), nullptr) << c.source;
      EXPECT_EQ(s->Item(), nullptr) << c.source;
      EXPECT_FALSE(MediaScene::Get(*s, PR_PLAYING).Flag);
    } else {
      EXPECT_EQ(m.scene.Resolve(ref), nullptr) << c.source;
    }
  }
}

TEST(Sound, VolumeReachesTheItemAndTheOutput) {
  MediaScene m;
  m.Write("long.wav", ToneWav(2000));
  m.Write("song.mid", NoteMidi());
  TNovaSound* s = m.Sound("s", "long.wav");
  MediaScene::Set(*s, PR_VOLUME, TPropValue::OfInt(500));
  s->SetPlayState(LP_PLAY);
  EXPECT_EQ(s->Item()->GetVol(), -2500);
  m.Frames(20);
  // -25 dB of 8000.
  EXPECT_NEAR(m.Peak(50, 300), 8000 * std::pow(10.0, -2500 / 2000.0), 40);
  MediaScene::Set(*s, PR_VOLUME, TPropValue::OfInt(1000));
  EXPECT_EQ(s->Item()->GetVol(), 0);
  TNovaSound* midi = m.Sound("m", "song.mid");
  MediaScene::Set(*midi, PR_VOLUME, TPropValue::OfInt(500));
  midi->SetPlayState(LP_PLAY);
  ASSERT_NE(midi->Item(), nullptr);
  EXPECT_EQ(midi->Item()->GetVol(), -5000);
  MediaScene::Set(*midi, PR_BALANCE, TPropValue::OfInt(-20000));
  EXPECT_EQ(MediaScene::Get(*midi, PR_BALANCE).Int, -10000);
}

// A mono file at full volume sounds at its own level on both sides, whichever path plays it:
// the library's voices, the software mixer, a CD track.
TEST(Sound, MonoSoundsPlayAtTheirOwnLevelOnBothSides) {
  struct Case {
    const char* source;
    bool directSound;
    int rate;
  };
  for (const Case& c : {Case{"m.wav", true, 44100}, Case{"m.wav", true, 22050}, Case{"m.wav", false, 44100},
                        Case{"m.wav", false, 22050}, Case{"CD_2", true, 44100}}) {
    MediaScene m(c.directSound);
    const std::string mono = Wav16(1, c.rate, c.rate * 2, [](int, int) { return 16000; });
    m.Write("m.wav", mono);
    m.Write("track02.wav", mono);
    TNovaSound* s = m.Sound("s", c.source);
    s->SetPlayState(LP_PLAY);
    m.Frames(40);
    m.platform->Audio().Flush();
    const std::string bytes = ReadFile(m.dir / "out.wav");
    // Well inside the sound (from 200 ms to 600 ms) every sample of both sides is the file's.
    int low = 32767, high = -32768;
    for (size_t i = 200 * 441 / 10 * 2; i < 600 * 441 / 10 * 2 && 44 + 2 * i + 2 <= bytes.size(); ++i) {
      int16_t v;
      std::memcpy(&v, bytes.data() + 44 + 2 * i, 2);
      low = std::min<int>(low, v), high = std::max<int>(high, v);
    }
    EXPECT_GE(low, 15990) << c.source << " " << c.directSound << " " << c.rate;
    EXPECT_LE(high, 16010) << c.source << " " << c.directSound << " " << c.rate;
  }
}

TEST(Sound, PauseSilencesAndResumes) {
  for (int id : {PR_PAUSED, PR_ANIPAUSED}) {
    MediaScene m;
    m.Write("long.wav", ToneWav(3000));
    TNovaSound* s = m.Sound("s", "long.wav");
    s->SetPlayState(LP_PLAY);
    m.Frames(10);
    MediaScene::Set(*s, id, TPropValue::OfFlag(true));
    const uint32_t paused = m.Now();
    m.Frames(10);
    EXPECT_TRUE(s->Item()->IsPaused()) << id;
    MediaScene::Set(*s, id, TPropValue::OfFlag(false));
    const uint32_t resumed = m.Now();
    m.Frames(10);
    EXPECT_GT(m.Peak(0, paused), 7000) << id;
    EXPECT_EQ(m.Peak(paused + 16, resumed), 0) << id;
    EXPECT_GT(m.Peak(resumed + 16, m.Now()), 7000) << id;
    EXPECT_FALSE(MediaScene::Get(*s, PR_ANIPAUSED).Flag);  // reads false
  }
}

TEST(Sound, TheSoundSwitchSilencesEverySoundUntilItIsOnAgain) {
  MediaScene m;
  m.Write("long.wav", ToneWav(3000));
  TNovaSound* a = m.Sound("a", "long.wav");
  a->SetPlayState(LP_PLAY);
  TNovaSound* b = m.Sound("b", "long.wav");
  MediaScene::Set(*b, PR_PAUSED, TPropValue::OfFlag(true));
  b->SetPlayState(LP_PLAY);
  m.Frames(10);
  m.media->SetSoundOn(false);
  const uint32_t off = m.Now();
  // A sound started while the switch is off waits for it.
  TNovaSound* c = m.Sound("c", "long.wav");
  c->SetPlayState(LP_PLAY);
  m.Frames(10);
  m.media->SetSoundOn(true);
  const uint32_t on = m.Now();
  m.Frames(10);
  EXPECT_EQ(m.Peak(off + 16, on), 0);
  EXPECT_GT(m.Peak(on + 16, m.Now()), 4000);  // a and c, the same tone out of phase
  EXPECT_TRUE(a->Item()->IsPlaying());
  EXPECT_TRUE(c->Item()->IsPlaying());
  EXPECT_TRUE(b->Item()->IsPaused());
}

TEST(Sound, APauseGivenWhileTheSwitchIsOffHoldsWhenItIsOnAgain) {
  for (bool directSound : {true, false}) {
    MediaScene m(directSound);
    m.Write("long.wav", ToneWav(3000));
    m.media->SetSoundOn(false);
    TNovaSound* s = m.Sound("s", "long.wav");
    s->SetPlayState(LP_PLAY);
    m.Frames(3);
    MediaScene::Set(*s, PR_PAUSED, TPropValue::OfFlag(true));
    m.Frames(3);
    m.media->SetSoundOn(true);
    const uint32_t on = m.Now();
    m.Frames(10);
    EXPECT_FALSE(MediaScene::Get(*s, PR_PLAYING).Flag) << directSound;
    EXPECT_EQ(MediaScene::Get(*s, PR_INDEX).Int, 0) << directSound;
    EXPECT_EQ(m.Peak(0, m.Now()), 0) << directSound;
    // Taking the pause back starts it.
    MediaScene::Set(*s, PR_PAUSED, TPropValue::OfFlag(false));
    m.Frames(10);
    EXPECT_TRUE(MediaScene::Get(*s, PR_PLAYING).Flag) << directSound;
    EXPECT_GT(m.Peak(on + 16 * 11, m.Now()), 7000) << directSound;
  }
}

TEST(Sound, APausedCdTrackHasNotEnded) {
  for (bool autoScrap : {false, true}) {
    MediaScene m;
    m.Write("track02.wav", ToneWav(6000));
    TNovaSound* s = m.Sound("s", "CD_2");
    MediaScene::Set(*s, PR_ONPLAYEND, TPropValue::OfStr("end.nsb"));
    MediaScene::Set(*s, PR_AUTOSCRAP, TPropValue::OfFlag(autoScrap));
    s->SetPlayState(LP_PLAY);
    const TObjectRef ref(s);
    m.Frames(140);  // 2.24 s
    ASSERT_TRUE(MediaScene::Get(*s, PR_PLAYING).Flag) << autoScrap;
    MediaScene::Set(*s, PR_ANIPAUSED, TPropValue::OfFlag(true));
    const uint32_t paused = m.Now();
    m.Frames(30);
    ASSERT_EQ(m.scene.Resolve(ref), s) << autoScrap;
    EXPECT_EQ(m.Count("s:43"), 0) << autoScrap;
    EXPECT_FALSE(s->Ended()) << autoScrap;
    EXPECT_TRUE(s->Item()->IsPaused()) << autoScrap;
    EXPECT_EQ(m.Peak(paused + 16, m.Now()), 0) << autoScrap;
    // It goes on from where it was (whole seconds, one back), not from the start.
    MediaScene::Set(*s, PR_ANIPAUSED, TPropValue::OfFlag(false));
    m.Frames(5);
    EXPECT_TRUE(MediaScene::Get(*s, PR_PLAYING).Flag) << autoScrap;
    EXPECT_EQ(MediaScene::Get(*s, PR_INDEX).Int, 1000) << autoScrap;
    EXPECT_GT(m.Peak(m.Now() - 48, m.Now()), 7000) << autoScrap;
  }
}

TEST(Sound, SourcePositionAndLength) {
  MediaScene m;
  m.Write("a.wav", ToneWav(300));
  m.Write("long.wav", ToneWav(2000));
  TNovaSound* s = m.Sound("s", "long.wav");
  EXPECT_EQ(MediaScene::Get(*s, PR_COUNT).Int, 2000);  // opened just to ask
  EXPECT_EQ(m.media->Ogg()->Count(), 0);
  EXPECT_EQ(MediaScene::Get(*s, PR_INDEX).Int, 0);
  s->SetPlayState(LP_PLAY);
  m.Frames(5);
  MediaScene::Set(*s, PR_INDEX, TPropValue::OfInt(1500));
  EXPECT_NEAR(MediaScene::Get(*s, PR_INDEX).Int, 1500, 20);
  // A new source stops the old one without deleting the sound; the next play starts it.
  MediaScene::Set(*s, PR_SOURCE, TPropValue::OfStr("a.wav"));
  EXPECT_EQ(s->Item(), nullptr);
  EXPECT_EQ(s->PlayState(), LP_STOP);
  EXPECT_FALSE(s->IsPendingDeletion());
  EXPECT_EQ(MediaScene::Get(*s, PR_COUNT).Int, 300);
  s->SetPlayState(LP_PLAY);
  EXPECT_EQ(s->Item()->GetPosition(), 0);
}

TEST(Sound, ReplayAndRepeatStartAnEndedSoundAgain) {
  MediaScene m;
  m.Write("a.wav", ToneWav(200));
  TNovaSound* s = m.Sound("s", "a.wav");
  s->SetPlayState(LP_PLAY);
  m.Frames(20);
  ASSERT_TRUE(s->Ended());
  s->Replay();
  EXPECT_FALSE(s->Ended());
  const uint32_t replayed = m.Now();
  m.Frames(20);
  EXPECT_GT(m.Peak(replayed + 16, replayed + 200), 7000);
  EXPECT_TRUE(s->Ended());
  // Turning repeat on at the end rewinds: the sound goes on for ever.
  MediaScene::Set(*s, PR_REPEAT, TPropValue::OfFlag(true));
  EXPECT_FALSE(s->Ended());
  const uint32_t repeated = m.Now();
  m.Frames(40);
  for (uint32_t t = repeated + 16; t + 100 < m.Now(); t += 100) EXPECT_GT(m.Peak(t, t + 100), 7000) << t;
}

// The saved record of a sound, field by field, as a version of the save data has it.
std::string SoundRecord(int32_t version, const std::string& source, bool repeat, bool ended, int32_t volume,
                        int32_t position, uint8_t state, bool rewind, bool mute, int32_t repeatPos) {
  TKtMemoryStream s;
  s.WriteString("s");
  s.WriteInt32(0);  // priority
  if (version > 103) s.WriteInt32(0);
  if (version >= 120) s.WriteString("");
  s.WriteString(source);
  for (bool b : {repeat, false, false, false, ended}) s.WriteByte(b);
  for (int32_t v : {volume, 0, 0, position}) s.WriteInt32(v);
  s.WriteByte(state);
  s.WriteString("end.nsb");
  if (version > 107) s.WriteByte(rewind);
  if (version > 128) s.WriteByte(mute);
  if (version > 137) s.WriteInt32(repeatPos);
  return s.Data();
}

TEST(SoundRecord, LoadsEveryVersionOfTheRecord) {
  struct Case {
    int32_t version;
    bool rewind, mute;
    int32_t expectVolume, expectPosition, expectRepeatPos;
  };
  // Older records lack the last fields: rewind-on-load then stays true, nothing is muted and
  // the repeat position is 0.
  for (const Case& c : {Case{103, false, true, 700, 0, 0}, Case{107, false, true, 700, 0, 0},
                        Case{128, false, true, 700, 1000, 0}, Case{137, false, true, 0, 1000, 0},
                        Case{138, true, false, 700, 0, 250}}) {
    MediaScene m;
    m.Write("long.wav", ToneWav(3000));
    TKtMemoryStream in;
    in.Assign(SoundRecord(c.version, "long.wav", true, false, 700, 1000, LP_PLAY, c.rewind, c.mute, 250));
    auto* s = dynamic_cast<TNovaSound*>(m.scene.CreateObject(LT_SOUND));
    s->LoadFromStream(in, c.version);
    EXPECT_EQ(in.Position(), in.Size()) << c.version;
    EXPECT_EQ(MediaScene::Get(*s, PR_VOLUME).Int, c.expectVolume) << c.version;
    EXPECT_EQ(MediaScene::Get(*s, PR_REPEATPOS).Int, c.expectRepeatPos) << c.version;
    EXPECT_EQ(MediaScene::Get(*s, PR_ONPLAYEND).Str, "end.nsb") << c.version;
    ASSERT_NE(s->Item(), nullptr) << c.version;
    EXPECT_TRUE(s->Item()->IsPlaying()) << c.version;
    EXPECT_NEAR(s->Item()->GetPosition(), c.expectPosition, 20) << c.version;
  }
}

TEST(SoundRecord, AShortEffectIsSavedStoppedAndARepeatingOneResumes) {
  MediaScene m;
  m.Write("short.wav", ToneWav(2000));
  m.Write("long.wav", ToneWav(3500));
  struct Case {
    const char* source;
    bool repeat;
    bool resumes;
  };
  for (const Case& c : {Case{"short.wav", false, false}, Case{"short.wav", true, true}, Case{"long.wav", false, true}}) {
    TNovaSound* s = m.Sound("s", c.source);
    MediaScene::Set(*s, PR_REPEAT, TPropValue::OfFlag(c.repeat));
    s->SetPlayState(LP_PLAY);
    m.Frames(3);
    TKtMemoryStream saved;
    s->SaveToStream(saved);
    m.scene.FreeObject(s);
    saved.SetPosition(0);
    auto* back = dynamic_cast<TNovaSound*>(m.scene.CreateObject(LT_SOUND));
    back->LoadFromStream(saved, 138);
    EXPECT_EQ(back->PlayState(), c.resumes ? LP_PLAY : LP_STOP) << c.source << c.repeat;
    EXPECT_EQ(back->IsPendingDeletion(), !c.resumes) << c.source << c.repeat;
    EXPECT_EQ(back->Item() != nullptr && back->Item()->IsPlaying(), c.resumes) << c.source << c.repeat;
    m.scene.FreeObject(back);
  }
}

}  // namespace
}  // namespace nova::test
