// Media items and managers on the headless platform: the sound switch, suspension, the Ogg
// items on the library's voices and on the software mixer, MIDI and CD items, movies refused
// by the headless decoders, the screen manager's modes, and the media system variables.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/vrfile_collection.h"
#include "base/encoding.h"
#include "media/media_item_kinds.h"
#include "media/media_system.h"
#include "media/media_vars.h"
#include "media/novadll_engine.h"
#include "media_fixtures.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/system_vars.h"
#include "support/test_support.h"

namespace nova {
namespace {

std::string Smf(std::initializer_list<uint8_t> trackBody, int division = 96) {
  std::string body(trackBody.begin(), trackBody.end());
  body += std::string("\x00\xFF\x2F\x00", 4);
  std::string f = std::string("MThd\0\0\0\6\0\0\0\1", 12) + static_cast<char>(division >> 8) + static_cast<char>(division);
  uint32_t n = static_cast<uint32_t>(body.size());
  f += "MTrk";
  f += std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
  return f + body;
}

class MediaTest : public testing::Test {
protected:
  void SetUp() override {
    test::WriteFile(dir_ / "a.wav", test::SineWav(1.0));
    test::WriteFile(dir_ / "b.wav", test::SineWav(1.0));
    test::WriteFile(dir_ / "c.wav", test::SineWav(1.0));
    test::WriteFile(dir_ / "short.wav", test::SineWav(0.1));
    test::WriteFile(dir_ / "bad.wav", "RIFF1234WAVEjunk");
    // Track 2 of a ripped CD (track 1 is the game's data).
    test::WriteFile(dir_ / "cd/Track 02.wav", test::SineWav(3.0, 4000));
    test::WriteFile(dir_ / "song.mid", Smf({0x00, 0xC0, 0x05, 0x00, 0xB0, 0x07, 0x64, 0x00, 0x90, 0x3C, 0x40, 0x60,
                                            0x80, 0x3C, 0x00}));
    files_.SetBaseFolder(dir_.Path());
  }
  std::unique_ptr<TMediaSystem> Start(bool directSound = true) {
    TMediaSettings s;
    s.UseDirectSound = directSound;
    s.DelayTime = 100;
    s.GameFolder = dir_.Path();
    s.ScreenWidth = 640, s.ScreenHeight = 480;
    return std::make_unique<TMediaSystem>(platform_, files_, s, nullptr);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) platform_.Clock().FrameStep();
  }
  test::TempDir dir_;
  THeadlessPlatform platform_;
  TVrFileManager files_{false};
};

TEST_F(MediaTest, ManagerChoiceByName) {
  auto media = Start();
  struct Case {
    const char* name;
    TMediaManager* want;
  } cases[] = {{"bgm\\a.OGG", media->Ogg()}, {"a.wav", media->Ogg()},  {"x.mid", media->Midi()},
               {"x.SGT", media->Midi()},     {"x.wma", media->Wmp()}, {"x.asf", media->Wmp()},
               {"x.wmv", media->Wmp()},      {"CD_2", media->Cdda()}, {"cd_2", nullptr},
               {"x.mp3", nullptr},           {"noext", nullptr},      {"dir.ogg\\file", nullptr}};
  for (const Case& c : cases) EXPECT_EQ(media->ManagerFor(c.name), c.want) << c.name;
}

TEST_F(MediaTest, UndecodableAndMissingSounds) {
  auto media = Start();
  EXPECT_EQ(test::ErrorOf([&] { media->AddSound("bad.wav"); }), "サウンドデータが不正です");
  EXPECT_EQ(test::ErrorOf([&] { media->AddSound("none.wav"); }), "none.wav:ファイルがありません");
  auto mixed = Start(false);
  EXPECT_EQ(test::ErrorOf([&] { mixed->AddSound("bad.wav"); }), "サウンドデータが不正です");
}

TEST_F(MediaTest, SoundSwitchResumesOnlyWhatWasPlaying) {
  auto media = Start();
  TDMediaItem* a = media->AddSound("a.wav");
  TDMediaItem* b = media->AddSound("b.wav");
  TDMediaItem* c = media->AddSound("c.wav");
  a->Play(), b->Play(), c->Play();
  c->Pause();
  Frames(2);
  media->SetSoundOn(false);
  EXPECT_FALSE(a->IsPlaying());
  EXPECT_TRUE(a->IsPaused());
  // Play while sound is off only marks the item.
  TDMediaItem* d = media->AddSound("short.wav");
  d->Play();
  EXPECT_TRUE(d->PendingPlay);
  EXPECT_FALSE(d->IsPlaying());
  media->SetSoundOn(true);
  EXPECT_TRUE(a->IsPlaying());
  EXPECT_TRUE(b->IsPlaying());
  EXPECT_FALSE(c->IsPlaying());
  EXPECT_TRUE(c->IsPaused());
  EXPECT_TRUE(d->IsPlaying());
}

TEST_F(MediaTest, APauseAfterAPlayWhileSoundIsOffIsNotStartedByTheSwitch) {
  struct Case {
    const char* name;
    bool directSound;
  };
  for (const Case& c : {Case{"a.wav", true}, Case{"a.wav", false}, Case{"song.mid", true}, Case{"CD_2", true}}) {
    auto media = Start(c.directSound);
    media->SetSoundOn(false);
    TDMediaItem* item = media->AddSound(c.name);
    item->Play();
    item->Pause();
    EXPECT_FALSE(item->PendingPlay) << c.name;
    media->SetSoundOn(true);
    Frames(10);
    EXPECT_FALSE(item->IsPlaying()) << c.name;
    EXPECT_EQ(item->GetPosition(), 0) << c.name;
    item->Play();
    Frames(10);
    EXPECT_TRUE(item->IsPlaying()) << c.name;
    media.reset();
  }
}

TEST_F(MediaTest, WindowSuspensionPausesAndResumes) {
  auto media = Start();
  TDMediaItem* a = media->AddSound("a.wav");
  a->Play();
  Frames(10);  // 160 ms
  media->Suspend();
  int32_t at = a->GetPosition();
  Frames(10);
  EXPECT_EQ(a->GetPosition(), at);  // paused while away
  media->Resume();
  Frames(10);
  EXPECT_GT(a->GetPosition(), at);
  EXPECT_TRUE(a->IsPlaying());
}

TEST_F(MediaTest, VoicesPlayToTheEndAndLatchIt) {
  auto media = Start();
  TDMediaItem* s = media->AddSound("short.wav");  // 100 ms
  EXPECT_EQ(s->GetLen(), 100);
  s->Play();
  Frames(10);
  EXPECT_TRUE(s->IsEnd());
  EXPECT_FALSE(s->IsPlaying());
  EXPECT_TRUE(s->IsEnd());  // latched
  s->SetPosition(-50);      // clamped to 0; clears the end
  EXPECT_FALSE(s->IsEnd());
  EXPECT_EQ(s->GetPosition(), 0);
  // With repeat it goes round and never ends.
  s->SetAutoRepeat(true);
  s->Play();
  Frames(30);
  EXPECT_FALSE(s->IsEnd());
  EXPECT_LT(s->GetPosition(), 100);
}

TEST_F(MediaTest, VoiceVolumeAndPanAttenuateTheSides) {
  struct Case {
    int32_t vol, pan, left, right;
  } cases[] = {
      {0, 0, 65536, 65536},         {-10000, 0, 0, 0},          {-2000, 0, 6554, 6554},
      {0, 2000, 6554, 65536},       {0, -2000, 65536, 6554},    {0, 10000, 0, 65536},
      {-600, 0, 32846, 32846},      {-1000, -1000, 20724, 6554},
  };
  for (const Case& c : cases) {
    int32_t l, r;
    VoiceGains(c.vol, c.pan, l, r);
    EXPECT_EQ(l, c.left) << c.vol << " " << c.pan;
    EXPECT_EQ(r, c.right) << c.vol << " " << c.pan;
  }
}

TEST_F(MediaTest, OggWaveItemsOnTheMixer) {
  auto media = Start(false);
  ASSERT_NE(media->Ogg()->WavOut(), nullptr);
  auto* s = static_cast<TOggWaveItem*>(media->AddSound("short.wav"));
  EXPECT_TRUE(media->Ogg()->WavOut()->IsOpen());
  EXPECT_EQ(s->GetLen(), 100);
  // Volume: (max(v, -5000) + 5000) * 256 / 5000.
  for (auto [vol, want] : {std::pair{0, 256}, {-2500, 128}, {-5000, 0}, {-10000, 0}, {-1, 255}}) {
    s->SetVol(vol);
    EXPECT_EQ(s->Source()->Volume(), want) << vol;
  }
  s->SetVol(0);
  s->Play();
  EXPECT_TRUE(s->IsPlaying());
  Frames(2);
  EXPECT_FALSE(s->IsEnd());  // the mixer reads ahead; the end comes 2 x D + 10 ms later
  Frames(20);
  EXPECT_TRUE(s->IsEnd());
  s->SetAutoRepeat(true);  // a repeating sound that finished starts again instead
  EXPECT_FALSE(s->IsEnd());
  EXPECT_TRUE(s->Source()->Playing());
}

// Sounds inside an archive: stored as is they are read through a range of the archive, a
// compressed entry (older archives compress every file) is inflated first; both sound whole.
TEST_F(MediaTest, SoundsFromArchiveEntriesStoredEitherWay) {
  TVrFileCollection archive;
  for (auto [name, asFile] : {std::pair{"se\\stored.wav", true}, {"se\\packed.wav", false}}) {
    TVrFile* f = archive.AddMemoryFile(name);
    f->Memory->WriteBytes(test::SineWav(1.0));
    f->PackAsFile = asFile;
  }
  {
    TFileStream out(dir_ / "game.dat", TFileStream::Create);
    ASSERT_TRUE(archive.Write(out));
  }
  files_.AddArchiveFile(dir_ / "game.dat");
  ASSERT_EQ(files_.FindEntry("se\\stored.wav")->Stored, 1);
  ASSERT_EQ(files_.FindEntry("se\\packed.wav")->Stored, 0);
  auto media = Start(false);
  for (const char* name : {"se\\stored.wav", "se\\packed.wav"}) {
    TDMediaItem* s = media->AddSound(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_EQ(s->GetLen(), 1000) << name;
  }
}

TEST_F(MediaTest, MidiItemsShareOneSequencer) {
  auto media = Start();
  TMidiManager* midi = media->Midi();
  ASSERT_EQ(midi->PortNames().size(), 2u);
  EXPECT_EQ(midi->PortNames()[0], Utf8ToSjis("MIDIマッパー"));
  TDMediaItem* a = media->AddSound("song.mid");
  TDMediaItem* b = media->AddSound("song.mid");
  EXPECT_EQ(a->GetLen(), 500);
  a->Play();
  Frames(5);
  EXPECT_TRUE(a->IsPlaying());
  EXPECT_EQ(a->GetPosition(), 80);
  EXPECT_EQ(b->GetPosition(), 0);  // not the current item
  EXPECT_FALSE(b->IsPlaying());
  // The master volume reset goes out each time an item starts; volume scales controller 7.
  a->SetVol(-5000);
  EXPECT_EQ(midi->Sequencer().ControllerScale(0, 7), 50);
  b->Play();
  EXPECT_FALSE(a->IsPlaying());  // a played earlier, but b is current now
  EXPECT_EQ(a->GetPosition(), 0);
  int resets = 0;
  for (auto& m : platform_.MidiRecord().Messages())
    if (m.Long && m.Bytes.size() == 8 && m.Bytes[1] == 0x7F) ++resets;
  EXPECT_EQ(resets, 2);
  // Pause keeps the position; the item reports paused.
  Frames(3);
  b->Pause();
  EXPECT_TRUE(b->IsPaused());
  EXPECT_FALSE(b->IsPlaying());
  // A missing file has length 0 and does not play.
  TDMediaItem* missing = media->AddSound("none.mid");
  EXPECT_EQ(missing->GetLen(), 0);
  missing->Play();
  EXPECT_FALSE(missing->IsPlaying());
}

TEST_F(MediaTest, MidiPortByName) {
  auto media = Start();
  TMidiManager* midi = media->Midi();
  EXPECT_EQ(midi->PortName(), Utf8ToSjis("MIDIマッパー"));
  midi->SelectPort("no such port");
  EXPECT_EQ(midi->PortIndex(), 0);
  midi->SelectPort(THeadlessPlatform::RecorderPortName());
  EXPECT_EQ(midi->PortIndex(), 1);
}

TEST_F(MediaTest, CdItemsPlayRippedTracks) {
  auto media = Start();
  TDMediaItem* none = media->AddSound("CD_");
  none->Play();
  EXPECT_FALSE(none->IsPlaying());
  TDMediaItem* t9 = media->AddSound("CD_9");  // past the last track
  EXPECT_EQ(t9->GetLen(), 0);
  TDMediaItem* t2 = media->AddSound("CD_2");
  EXPECT_EQ(t2->GetLen(), 3000);
  t2->Play();
  EXPECT_TRUE(t2->IsPlaying());
  Frames(70);  // 1.12 s: whole seconds of the track
  EXPECT_EQ(t2->GetPosition(), 1000);
  // The CD line: (max(v, -5000) + 5000) x saved / 5000 a side, never below 0.
  TCdAudioDevice& device = media->Cdda()->Player().Device();
  for (auto [vol, want] : {std::pair{0, 65535}, {-2500, 32767}, {-5000, 0}, {-10000, 0}}) {
    t2->SetVol(vol);
    int l, r;
    device.GetLine(l, r);
    EXPECT_EQ(l, want) << vol;
    EXPECT_EQ(r, want) << vol;
  }
  // The play runs to one second before the track's end, then the player rewinds and stops,
  // which the item reports as its end.
  for (int i = 0; i < 200; ++i) {
    Frames(1);
    media->Update();
  }
  EXPECT_TRUE(t2->IsEnd());
  EXPECT_FALSE(t2->IsPlaying());
}

TEST_F(MediaTest, MoviesTheHeadlessDecodersRefuse) {
  auto media = Start();
  test::WriteFile(dir_ / "m.mpg", "not a movie");
  TVideoItem* v = media->Video()->Add("m.mpg", true);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->IsEnd());
  EXPECT_EQ(v->GetDC(), nullptr);
  EXPECT_EQ(v->GetSourceWidth(), 0);
}

TEST(ScreenManager, ModeListAndChoice) {
  std::vector<TDisplayMode> modes = {{1920, 1080, 32, 60}, {640, 480, 8, 60},   {800, 600, 16, 75},
                                     {640, 400, 32, 60},   {800, 600, 24, 75},  {800, 600, 24, 60},
                                     {800, 600, 32, 60}};
  // Minimum 640 x 480; preferred 800 x 600; desktop depth 24.
  TScreenManager screen(modes, 640, 480, 800, 600, 24);
  ASSERT_EQ(screen.Modes().size(), 5u);  // the 8-bit and the too low modes are left out
  // 1920 first; 800x600x16 replaces it (preferred size); 800x600x24@75 replaces that (desktop
  // depth); 24@60 replaces it (lower refresh); 32@60 does not (not the desktop depth).
  EXPECT_EQ(screen.ChosenIndex(), 3);
  EXPECT_EQ(screen.CurrentIndex(), -1);
  EXPECT_EQ(screen.BackSurface().GetBitCount(), 32);
  EXPECT_EQ(screen.BackSurface().GetWidth(), 640);
  screen.SetMode(1);
  EXPECT_EQ(screen.BackSurface().GetBitCount(), 16);
  TScreenManager none({}, 640, 480, 800, 600);
  EXPECT_EQ(none.ChosenIndex(), -1);
}

TEST_F(MediaTest, SystemVariablesAndGetDisplayMode) {
  auto media = Start();
  TParamCollection store;
  TSysFuncMan funcs(store);
  int applied = 0;
  bool switched = true;
  RegisterMediaVariables(funcs, *media, {[&] { ++applied; }, [&](bool on) { switched = on; }});
  auto sys = [&](const char* name) -> TCustomParam& { return *store.FindParam(name)->Param; };
  EXPECT_TRUE(sys("@SoundON").GetAsBool());
  sys("@SoundON").SetAsBool(false);
  EXPECT_FALSE(media->SoundOn());
  EXPECT_FALSE(media->Ogg()->Enabled());
  EXPECT_FALSE(switched);
  sys("@SoundON").SetAsStr("1");  // a text is read by its number
  EXPECT_TRUE(media->Ogg()->Enabled());
  EXPECT_EQ(sys("@MidiPorts").GetCount(), 2);
  EXPECT_EQ(sys("@MidiPorts").GetStrAt(1), THeadlessPlatform::RecorderPortName());
  EXPECT_EQ(sys("@MidiPort").GetAsStr(), Utf8ToSjis("MIDIマッパー"));
  sys("@MidiPort").SetAsStr(THeadlessPlatform::RecorderPortName());
  EXPECT_EQ(sys("@MidiPort").GetAsStr(), THeadlessPlatform::RecorderPortName());
  EXPECT_EQ(sys("@DisplayModeCount").GetAsInt(), 0);  // the headless window has no modes
  EXPECT_EQ(sys("@DisplayModeIndex").GetAsInt(), -1);
  sys("@DisplayModeIndex").SetAsInt(0);
  EXPECT_EQ(applied, 1);

  for (const char* name : {"ok", "w", "h", "b", "r"}) store.SetParamName(store.AddParam(PT_INT), name);
  CompileExpression("ok = GetDisplayMode(0, w, h, b, r)")->Execute(store, funcs);
  EXPECT_EQ(store.FindParam("ok")->Param->GetAsInt(), 0);
  UnregisterMediaVariables(funcs);
}

TEST(MediaModes, GetDisplayModeFillsTheVariables) {
  // A platform whose window lists modes.
  class TModesWindow : public THeadlessWindow {
  public:
    std::vector<TDisplayMode> DisplayModes() override { return {{1024, 768, 32, 60}, {800, 600, 32, 75}}; }
  } window;
  THeadlessPlatform platform;
  TVrFileManager files(false);
  TMediaSettings s;
  s.ScreenWidth = 800, s.ScreenHeight = 600;
  TMediaSystem media(platform, files, s, &window);
  TParamCollection store;
  TSysFuncMan funcs(store);
  RegisterMediaVariables(funcs, media);
  for (const char* name : {"ok", "w", "h", "b", "r"}) store.SetParamName(store.AddParam(PT_INT), name);
  CompileExpression("ok = GetDisplayMode(1, w, h, b, r)")->Execute(store, funcs);
  EXPECT_EQ(store.FindParam("ok")->Param->GetAsInt(), 1);
  EXPECT_EQ(store.FindParam("w")->Param->GetAsInt(), 800);
  EXPECT_EQ(store.FindParam("r")->Param->GetAsInt(), 75);
  CompileExpression("ok = GetDisplayMode(2, w, h, b, r)")->Execute(store, funcs);
  EXPECT_EQ(store.FindParam("ok")->Param->GetAsInt(), 0);
  EXPECT_EQ(store.FindParam("@DisplayModeCount")->Param->GetAsInt(), 2);
}

}  // namespace
}  // namespace nova
