// The MIDI file reader and the sequencer: tempo maps, running status, system exclusive, seeking,
// repeat and volume scaling, played through the headless platform's recording port.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "media/midi_player.h"

namespace nova {
namespace {

using Bytes = std::vector<uint8_t>;

void Vlq(Bytes& out, uint32_t v) {
  uint8_t tmp[5];
  int n = 0;
  tmp[n++] = v & 0x7F;
  while (v >>= 7) tmp[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
  while (n--) out.push_back(tmp[n]);
}

// A track from (delta, bytes) pairs; the end-of-track event is added.
Bytes Track(std::initializer_list<std::pair<uint32_t, Bytes>> events, bool endOfTrack = true) {
  Bytes body;
  for (auto& [delta, bytes] : events) {
    Vlq(body, delta);
    body.insert(body.end(), bytes.begin(), bytes.end());
  }
  if (endOfTrack) body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
  Bytes t = {'M', 'T', 'r', 'k'};
  uint32_t n = static_cast<uint32_t>(body.size());
  t.insert(t.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                     static_cast<uint8_t>(n)});
  t.insert(t.end(), body.begin(), body.end());
  return t;
}

std::string Smf(std::vector<Bytes> tracks, int division = 96, int format = 1) {
  Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<uint8_t>(format), 0, static_cast<uint8_t>(tracks.size()),
             static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)};
  for (auto& t : tracks) f.insert(f.end(), t.begin(), t.end());
  return std::string(f.begin(), f.end());
}

Bytes Tempo(uint32_t t) {
  return {0xFF, 0x51, 0x03, static_cast<uint8_t>(t >> 16), static_cast<uint8_t>(t >> 8), static_cast<uint8_t>(t)};
}

TMidiV Load(const std::string& data) {
  TMidiV file;
  TKtMemoryStream s(data);
  EXPECT_TRUE(file.LoadFromStream(s));
  return file;
}

TEST(MidiFile, TimesFollowTheTempoMap) {
  // An event 96 ticks in at tempo 500000 and division 96 is at 500 ms; a tempo event at tick
  // 96 halving the tempo applies after it: tick 192 is at 750 ms.
  TMidiV file = Load(Smf({Track({{0, Tempo(500000)}, {96, Tempo(250000)}, {96, {0x90, 60, 100}}})}));
  ASSERT_EQ(file.Events.size(), 4u);
  EXPECT_EQ(file.Events[1].Kind, mkTempo);
  EXPECT_EQ(file.Events[1].Time, 500);
  EXPECT_EQ(file.Events[2].Time, 750);
  EXPECT_EQ(file.Events[3].Kind, mkEndOfTrack);
  EXPECT_EQ(file.LengthMs(), 750);
}

TEST(MidiFile, IntervalsRoundHalvesToEven) {
  // tempo 500 us per quarter over division 1: 0.5 ms a tick (exact in single precision).
  EXPECT_EQ(TMidiV::IntervalMs(1, 500, 1), 0);   // 0.5 -> 0
  EXPECT_EQ(TMidiV::IntervalMs(3, 500, 1), 2);   // 1.5 -> 2
  EXPECT_EQ(TMidiV::IntervalMs(5, 500, 1), 2);   // 2.5 -> 2
  EXPECT_EQ(TMidiV::IntervalMs(7, 500, 1), 4);   // 3.5 -> 4
  EXPECT_EQ(TMidiV::IntervalMs(96, 500000, 96), 500);
}

TEST(MidiFile, RunningStatusSysExAndKinds) {
  Bytes gs = {0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  TMidiV file = Load(Smf({Track({{0, {0x90, 0x3C, 0x40}},
                                 {0, {0x3E, 0x40}},  // running status
                                 {0, {0x3C, 0x00}},  // note on with velocity 0: a note off
                                 {0, gs},
                                 {0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7}},
                                 {0, {0xFF, 0x03, 0x02, 'h', 'i'}},
                                 {0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}},
                                 {0, {0xB1, 7, 100}},
                                 {0, {0xC1, 5}},
                                 {0, {0xE1, 0, 64}}})}));
  std::vector<int> kinds;
  for (auto& e : file.Events) kinds.push_back(e.Kind);
  EXPECT_EQ(kinds, (std::vector<int>{mkNoteOn, mkNoteOn, mkNoteOff, mkGsReset, mkSysEx, mkText0 + 3,
                                     mkTimeSignature, mkControl, mkProgram, mkPitchBend, mkEndOfTrack}));
  EXPECT_EQ(file.Events[1].Bytes, (Bytes{0x90, 0x3E, 0x40}));
  EXPECT_EQ(file.Events[4].Bytes, (Bytes{0xF0, 0x7E, 0x7F, 0xF7}));  // the length is not kept
  EXPECT_EQ(file.Events[5].Bytes, (Bytes{0xFF, 0x03, 'h', 'i'}));
  EXPECT_EQ(file.Events[4].SendClass, msSysEx);
  EXPECT_EQ(file.Events[5].SendClass, msMeta);
}

TEST(MidiFile, TracksMergeByTickThenCreation) {
  TMidiV file = Load(Smf({Track({{10, {0x90, 1, 1}}}), Track({{5, {0x91, 2, 2}}, {5, {0x91, 3, 3}}})}));
  ASSERT_EQ(file.Events.size(), 5u);
  EXPECT_EQ(file.Events[0].Bytes[1], 2);
  EXPECT_EQ(file.Events[1].Bytes[1], 1);  // tick 10, read first
  EXPECT_EQ(file.Events[2].Kind, mkEndOfTrack);  // of the first track, also at tick 10
  EXPECT_EQ(file.Events[3].Bytes[1], 3);
}

TEST(MidiFile, DamagedFiles) {
  TMidiV file;
  TKtMemoryStream notMidi(std::string("RIFF1234"));
  EXPECT_FALSE(file.LoadFromStream(notMidi));
  EXPECT_TRUE(file.Events.empty());
  // Truncated in the middle of an event, a track chunk that is not "MTrk", a length far past
  // the end, data without a status: each ends its track, nothing crashes.
  std::string good = Smf({Track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})});
  for (size_t cut = 14; cut < good.size(); ++cut) {
    TKtMemoryStream s(good.substr(0, cut));
    TMidiV f;
    EXPECT_TRUE(f.LoadFromStream(s));
    EXPECT_LE(f.Events.size(), 3u);
  }
  Bytes junk = {'X', 'T', 'r', 'k', 0, 0, 0, 0};
  std::string skipped = Smf({junk, Track({{0, {0x90, 60, 100}}})});
  TMidiV f2 = Load(skipped);
  EXPECT_GE(f2.Events.size(), 0u);
  Bytes huge = {'M', 'T', 'r', 'k', 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x90, 60, 100};
  TMidiV f3 = Load(Smf({huge}));
  EXPECT_EQ(f3.Events.size(), 1u);
  TMidiV f4 = Load(Smf({Track({{0, {0x40, 0x40}}})}));
  EXPECT_TRUE(f4.Events.empty());
}

TEST(MidiFile, HugeTimesStayInRangeAndInOrder) {
  // Division 1 at tempo 1000000: one tick is exactly 1000 ms. Times past the 32-bit range are
  // held at the latest time; a delta that carries a track's tick past 32 bits ends the track.
  struct Case {
    const char* name;
    std::vector<uint32_t> deltas;  // of note-on events after a tempo event at tick 0
    std::vector<int32_t> times;    // of those notes
    size_t events;                 // in the file, the tempo and the end of track included
  };
  const Case cases[] = {
      {"just in range", {2147483}, {2147483000}, 3},
      {"one tick past the range", {2147483, 1}, {2147483000, kMaxMidiTime}, 4},
      {"the largest delta", {0x0FFFFFFF, 0x0FFFFFFF}, {kMaxMidiTime, kMaxMidiTime}, 4},
      // 16 largest deltas reach tick 0xFFFFFFF0; the 17th would wrap: the track ends before it.
      {"ticks past 32 bits", std::vector<uint32_t>(17, 0x0FFFFFFF), std::vector<int32_t>(16, kMaxMidiTime), 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes body;
    Vlq(body, 0);
    Bytes tempo = Tempo(1000000);
    body.insert(body.end(), tempo.begin(), tempo.end());
    for (uint32_t d : c.deltas) {
      Vlq(body, d);
      body.insert(body.end(), {0x90, 60, 100});
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes track = {'M', 'T', 'r', 'k', 0, 0, static_cast<uint8_t>(body.size() >> 8), static_cast<uint8_t>(body.size())};
    track.insert(track.end(), body.begin(), body.end());
    TMidiV file = Load(Smf({track}, 1));
    ASSERT_EQ(file.Events.size(), c.events);
    std::vector<int32_t> times;
    for (auto& e : file.Events)
      if (e.Kind == mkNoteOn) times.push_back(e.Time);
    EXPECT_EQ(times, c.times);
    for (size_t i = 1; i < file.Events.size(); ++i) EXPECT_LE(file.Events[i - 1].Time, file.Events[i].Time);
  }
  // The largest interval the reader can meet (2^32 - 1 ticks at division 1 and the largest tempo).
  EXPECT_EQ(TMidiV::IntervalMs(UINT32_MAX, 0xFFFFFF, 1), 72057589055095LL);
}

// The sequencer on the headless platform: its port is heard in a stream of the sound device
// and it ticks in that stream's render, every 441 frames (10 ms at 44100 Hz). The tests render
// the device's frames directly (or by frame steps, as a headless run does).
class SequencerTest : public testing::Test {
protected:
  void SetUp() override {
    player_ = std::make_unique<TMidiPlayV>(platform_);
    ASSERT_TRUE(player_->Open(-1));
  }
  void LoadSmf(const std::string& data) {
    TKtMemoryStream s(data);
    ASSERT_TRUE(player_->LoadFromStream(s));
    platform_.MidiRecord().Clear();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) platform_.Clock().FrameStep();
  }
  void Render(size_t frames) {
    std::vector<int16_t> buffer(frames * 2);
    platform_.Audio().Hub().Mix(buffer.data(), frames);
  }
  void RenderMs(int ms) { Render(FrameOf(ms)); }
  // The sound device's frame at a time (ms a multiple of 10).
  static int64_t FrameOf(int ms) { return int64_t{ms} * 441 / 10; }
  // Short messages other than all-notes-off, as (frame, status, data1).
  std::vector<std::tuple<int64_t, int, int>> Sent() {
    std::vector<std::tuple<int64_t, int, int>> out;
    for (auto& m : platform_.MidiRecord().Messages())
      if (!m.Long && !m.IsReset && !((m.Bytes[0] & 0xF0) == 0xB0 && m.Bytes[1] == 123))
        out.emplace_back(m.Frame, m.Bytes[0], m.Bytes.size() > 1 ? m.Bytes[1] : 0);
    return out;
  }
  int AllNotesOffCount() {
    int n = 0;
    for (auto& m : platform_.MidiRecord().Messages())
      if (!m.Long && (m.Bytes[0] & 0xF0) == 0xB0 && m.Bytes[1] == 123) ++n;
    return n;
  }
  THeadlessPlatform platform_;
  std::unique_ptr<TMidiPlayV> player_;
};

// One note on at each time (ms), at division 1 and tempo 1000: one tick is one millisecond.
std::string NotesAt(std::initializer_list<uint32_t> times) {
  Bytes body;
  uint32_t previous = 0;
  Vlq(body, 0);
  Bytes tempo = Tempo(1000);
  body.insert(body.end(), tempo.begin(), tempo.end());
  int key = 0;
  for (uint32_t t : times) {
    Vlq(body, t - previous);
    body.insert(body.end(), {0x90, static_cast<uint8_t>(key++), 100});
    previous = t;
  }
  Vlq(body, 100000);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  Bytes track = {'M', 'T', 'r', 'k', 0, 0, static_cast<uint8_t>(body.size() >> 8), static_cast<uint8_t>(body.size())};
  track.insert(track.end(), body.begin(), body.end());
  return Smf({track}, 1);
}

TEST_F(SequencerTest, EventsGoOutOnTheFirstTickPastTheirTime) {
  // Events at 0, 500 and 750 ms (tempo halves at 500 ms); the end of track at 750 is the last.
  LoadSmf(Smf({Track({{0, {0x90, 60, 100}}, {96, Tempo(250000)}, {0, {0x90, 62, 100}}, {96, {0x80, 60, 0}}})}));
  player_->PlayFrom(0);
  RenderMs(960);
  using S = std::tuple<int64_t, int, int>;
  // 500 < 510, the first tick past it; the ticks fall on every 441st frame.
  EXPECT_EQ(Sent(), (std::vector<S>{{FrameOf(10), 0x90, 60}, {FrameOf(510), 0x90, 62}, {FrameOf(760), 0x80, 60}}));
  EXPECT_DOUBLE_EQ(player_->TempoBpm(), 240.0);
  // Without repeat the last event is not sent; the sequencer ends but stays "playing".
  EXPECT_TRUE(player_->IsEnded());
  EXPECT_TRUE(player_->IsPlaying());
  player_->Stop();
  EXPECT_FALSE(player_->IsPlaying());
  EXPECT_EQ(AllNotesOffCount(), 16);
}

TEST_F(SequencerTest, PositionFollowsTheRenderedFrames) {
  // However the device cuts its periods, the position is the 10 ms ticks of the frames rendered
  // since PlayFrom.
  LoadSmf(NotesAt({60000}));
  player_->PlayFrom(0);
  size_t total = 0;
  for (size_t chunk : {1, 439, 1, 441, 1000, 4410, 3, 88200, 512, 1024}) {
    Render(chunk);
    total += chunk;
    EXPECT_EQ(player_->Position(), static_cast<int32_t>(total / 441 * 10)) << total << " frames";
  }
  // A headless run's frame steps hand the device 44.1 frames a millisecond: the same clock.
  for (int i = 0; i < 40; ++i) {
    Frames(1);
    uint64_t frames = total + platform_.Audio().FramesWritten();
    EXPECT_EQ(player_->Position(), static_cast<int32_t>(frames / 441 * 10)) << frames << " frames";
  }
}

TEST_F(SequencerTest, NotesLandOnTheFrameOfTheirTick) {
  // A note at t ms goes out on the tick that first passes it, 10 x (t / 10 + 1) ms, in frames.
  LoadSmf(NotesAt({0, 5, 9, 10, 11, 333, 1000, 1234}));
  player_->PlayFrom(0);
  for (int i = 0; i < 60; ++i) Render(1000);  // periods that are no multiple of the tick
  using S = std::tuple<int64_t, int, int>;
  std::vector<S> expected;
  int key = 0;
  for (int t : {0, 5, 9, 10, 11, 333, 1000, 1234}) expected.emplace_back(FrameOf((t / 10 + 1) * 10), 0x90, key++);
  EXPECT_EQ(Sent(), expected);
  // PlayFrom reads the same clock: played from 0 again after 3 s of sound, the first note
  // comes one tick later.
  Render(FrameOf(3000) - 60000);
  platform_.MidiRecord().Clear();
  player_->PlayFrom(0);
  RenderMs(30);
  ASSERT_FALSE(Sent().empty());
  EXPECT_EQ(Sent()[0], S(FrameOf(3010), 0x90, 0));
}

TEST_F(SequencerTest, TicksInARenderThreadWhileTheMainThreadSteers) {
  // The device renders on a thread of its own (as the SDL device's callback does) while the
  // main thread seeks, stops, reads the position and scales the volume: nothing blocks, and
  // every note still goes out on a tick's frame.
  LoadSmf(NotesAt({0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
  player_->SetRepeat(true);
  std::atomic<bool> stop{false};
  std::thread device([&] {
    while (!stop.load()) {
      Render(512);
      std::this_thread::yield();
    }
  });
  for (int i = 0; i < 200; ++i) {
    player_->PlayFrom(i % 7 * 10);
    EXPECT_GE(player_->Position(), 0);
    player_->SetControllerScale(7, 50 + i % 50);
    if (i % 3 == 0) player_->Stop();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  player_->PlayFrom(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  stop.store(true);
  device.join();
  int notes = 0;
  for (auto& [frame, status, key] : Sent()) {
    if (status != 0x90) continue;
    ++notes;
    EXPECT_EQ(frame % 441, 0) << "note " << key << " at frame " << frame;
  }
  EXPECT_GT(notes, 0);
}

TEST_F(SequencerTest, RepeatStartsOverWithNotesOff) {
  LoadSmf(Smf({Track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})}));  // 0, 500 and end at 500
  player_->SetRepeat(true);
  player_->PlayFrom(0);
  Frames(70);  // 1120 ms
  auto sent = Sent();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(std::get<1>(sent[2]), 0x90);  // the second round
  EXPECT_GE(AllNotesOffCount(), 16);
  EXPECT_FALSE(player_->IsEnded());
}

TEST_F(SequencerTest, RepeatWaitsForTheEndOfTrackAfterTheLastNote) {
  // A loop that ends in a rest: the note ends at 500 ms, the end of track is at 1000 ms.
  LoadSmf(Smf({Track({{0, {0xC0, 3}}, {0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}, {96, {0xFF, 0x2F, 0x00}}},
                     false)}));
  player_->SetRepeat(true);
  player_->PlayFrom(0);
  RenderMs(1000);  // the note is over, the rest not yet passed
  EXPECT_EQ(player_->Position(), 1000);
  EXPECT_EQ(AllNotesOffCount(), 0);
  RenderMs(10);  // past the end of track: the loop starts over at 0
  EXPECT_EQ(player_->Position(), 0);
  EXPECT_EQ(AllNotesOffCount(), 16);
  RenderMs(1010 + 160);  // the second round, and 160 ms into the third
  EXPECT_EQ(player_->Position(), 160);
  using S = std::tuple<int64_t, int, int>;
  EXPECT_EQ(Sent(), (std::vector<S>{{FrameOf(10), 0xC0, 3}, {FrameOf(10), 0x90, 60}, {FrameOf(510), 0x80, 60},
                                    {FrameOf(1020), 0xC0, 3}, {FrameOf(1020), 0x90, 60}, {FrameOf(1520), 0x80, 60},
                                    {FrameOf(2030), 0xC0, 3}, {FrameOf(2030), 0x90, 60}}));
  EXPECT_FALSE(player_->IsEnded());
  // Repeat off: the same file stops at its last note and its position stays.
  player_->SetRepeat(false);
  player_->PlayFrom(0);
  RenderMs(1500);
  EXPECT_TRUE(player_->IsEnded());
  EXPECT_EQ(player_->Position(), 510);
}

TEST_F(SequencerTest, RepeatOfAFileWithoutLengthSendsItOnce) {
  // Every event at 0 ms: there is no loop to play, so nothing is sent again tick after tick.
  LoadSmf(Smf({Track({{0, {0xC0, 3}}, {0, {0x90, 60, 100}}})}));
  player_->SetRepeat(true);
  player_->PlayFrom(0);
  RenderMs(300);
  EXPECT_EQ(Sent().size(), 2u);
  EXPECT_EQ(AllNotesOffCount(), 0);
}

TEST_F(SequencerTest, SeekingChasesEverythingButNotes) {
  LoadSmf(Smf({Track({{0, {0xC0, 5}},
                      {0, {0xB0, 7, 100}},
                      {0, {0x90, 60, 100}},
                      {960, {0xC0, 9}},  // 5000 ms
                      {0, {0x90, 64, 100}},
                      {192, {0x80, 64, 0}}})}));
  player_->PlayFrom(5000);
  auto sent = Sent();
  // The chase sends the program and the controller before the target, no note.
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(std::get<1>(sent[0]), 0xC0);
  EXPECT_EQ(std::get<1>(sent[1]), 0xB0);
  EXPECT_EQ(player_->CurrentIndex(), 3);
  // The position is that of the last chased event (0): the events at 5000 follow 5 s later.
  RenderMs(20);
  EXPECT_EQ(player_->Position(), 20);
  RenderMs(4980);
  EXPECT_EQ(Sent().size(), 2u);
  RenderMs(10);
  EXPECT_EQ(Sent().size(), 4u);
  platform_.MidiRecord().Clear();
  // Back to 0: notes off on all channels, position 0, nothing to chase before index 0.
  player_->PlayFrom(0);
  EXPECT_EQ(AllNotesOffCount(), 16);
  EXPECT_EQ(player_->Position(), 0);
  EXPECT_EQ(player_->CurrentIndex(), 0);
}

TEST_F(SequencerTest, ControllerScaleAndMasterVolume) {
  LoadSmf(Smf({Track({{0, {0xB2, 7, 100}}, {96, {0xB2, 7, 50}}, {96, {0x80, 1, 0}}})}));
  player_->SetControllerScale(7, 50);
  player_->PlayFrom(0);
  RenderMs(20);
  auto messages = platform_.MidiRecord().Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().Bytes, (Bytes{0xB2, 7, 50}));  // 100 x 50 %
  platform_.MidiRecord().Clear();
  player_->SetControllerScale(7, 100);  // resent while playing, from the file's values
  messages = platform_.MidiRecord().Messages();
  ASSERT_EQ(messages.size(), 16u);
  EXPECT_EQ(messages[2].Bytes, (Bytes{0xB2, 7, 100}));
  EXPECT_EQ(messages[0].Bytes, (Bytes{0xB0, 7, 127}));  // set to 127 at each load
  platform_.MidiRecord().Clear();
  player_->SendMasterVolumeReset();
  messages = platform_.MidiRecord().Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Bytes, (Bytes{0xF0, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x7F, 0xF7}));
}

TEST_F(SequencerTest, SysExGoesOutAsOneLongMessage) {
  LoadSmf(Smf({Track({{0, {0xF0, 0x04, 0x7E, 0x7F, 0x09, 0xF7}}, {10, {0x90, 1, 1}}})}));
  player_->PlayFrom(0);
  RenderMs(30);
  auto messages = platform_.MidiRecord().Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages[0].Long);
  EXPECT_EQ(messages[0].Bytes, (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0xF7}));
}

TEST(SequencerThread, RealTimerKeepsTime) {
  // A platform without a frame ticker: the sequencer runs its own 10 ms thread on the system clock.
  class TRealTimePlatform : public THeadlessPlatform {
  public:
    TFrameTicker* FrameTicker() override { return nullptr; }
    TPlatformClock& Clock() override { return *clock_; }
    // A port with no tick source of its own (the recording port is heard in a sound stream).
    std::unique_ptr<TMidiOutput> OpenMidi(int) override {
      struct TPort : TMidiOutput {
        TRecordingMidiOutput& to;
        explicit TPort(TRecordingMidiOutput& r) : to(r) {}
        void SendShort(uint32_t m) override { to.SendShort(m); }
        void SendLong(const std::vector<uint8_t>& b) override { to.SendLong(b); }
        void Reset() override { to.Reset(); }
      };
      return std::make_unique<TPort>(MidiRecord());
    }
    std::unique_ptr<TPlatformClock> clock_ = CreateSystemClock();
  } platform;
  TMidiPlayV player(platform);
  ASSERT_TRUE(player.Open(0));
  std::string data = Smf({Track({{0, {0x90, 1, 1}}, {19, {0x90, 2, 1}}, {19, {0x90, 3, 1}}})});  // ~100 ms apart
  TKtMemoryStream s(data);
  ASSERT_TRUE(player.LoadFromStream(s));
  platform.MidiRecord().Clear();
  player.PlayFrom(0);
  platform.Clock().Sleep(400);
  player.Stop();
  int notes = 0;
  for (auto& m : platform.MidiRecord().Messages())
    if (!m.Long && m.Bytes[0] == 0x90) ++notes;
  EXPECT_EQ(notes, 3);
}

}  // namespace
}  // namespace nova
