// Film files: the layouts of versions 100..108 written byte by byte, the conversions a player
// applies, damaged films, and the resolution of the file names a film holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "formats/film_file.h"

namespace nova {
namespace {

// Builds film bytes field by field, the way the layout tables list them.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& raw(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& b(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Bytes& i(int32_t x) {
    for (int k = 0; k < 4; ++k) v.push_back(static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * k)));
    return *this;
  }
  Bytes& pt(int32_t x, int32_t y) { return i(x).i(y); }
  Bytes& d(double x) {
    uint64_t u;
    std::memcpy(&u, &x, 8);
    for (int k = 0; k < 8; ++k) v.push_back(static_cast<uint8_t>(u >> (8 * k)));
    return *this;
  }
  Bytes& str(const std::string& s) { return i(static_cast<int32_t>(s.size())).raw(s); }
  // Common track header: parent, duration, unused, start, cycle, priority, flips, other screen.
  Bytes& common(int32_t parent, int32_t duration, int32_t start, int32_t unused = 0) {
    return i(parent).i(duration).i(unused).i(start).i(0).i(0).b(0).b(0).b(0);
  }
  Bytes& clip(int32_t base) { return pt(base, base + 1).pt(base + 2, base + 3).pt(base + 4, base + 5).pt(base + 6, base + 7).b(1).b(2); }
};

std::string ReadError(const std::vector<uint8_t>& bytes) {
  try {
    ReadFilmFile(bytes, "film.nmt");
  } catch (const ENovaError& e) {
    return e.what();
  }
  return "(read)";
}

// Version 100: no relative flag, no design origin, no loop start; a picture block without clip
// or zoom y; a transition with its type only; a box without clip. Frames play doubled.
TEST(FilmFile, Version100LayoutAndItsConversions) {
  Bytes f;
  f.raw("NovaMotion100").pt(320, 240).i(-1).i(3);
  f.b(0x80).i(-1).i(30).i(7).i(10).i(4).i(2).b(1).b(0).b(1);  // picture, high bit set
  f.pt(1, 2).pt(3, 4).pt(5, 6).b(1).b(2).i(0).i(90).d(1.5).d(2.0).b(1).i(0).i(128).b(2).str("a.bri");
  f.b(3).common(-1, 5, 40).b(5);  // transition
  f.b(2).common(0, 8, 0).pt(10, 20).pt(30, 40).b(0).b(1).i(0).i(0).pt(50, 60).pt(70, 80);  // box
  f.i(0x0000FF).i(0x00FF00).i(1).i(2).i(3).i(4);

  TFilmFile film = ReadFilmFile(f.v, "film.nmt");
  EXPECT_EQ(film.Version, 100);
  EXPECT_EQ(film.SceneSize, (TPoint{320, 240}));
  ASSERT_EQ(film.Tracks.size(), 3u);
  const TFilmTrack& pic = film.Tracks[0];
  EXPECT_EQ(pic.TypeByte, 0x80);
  EXPECT_EQ(pic.Type(), FT_PICTURE);
  EXPECT_EQ(pic.Unused, 7);
  EXPECT_EQ(pic.OtherScreen, 1);
  EXPECT_EQ(pic.EndPos, (TPoint{5, 6}));
  EXPECT_EQ(pic.EndZoomX, 2.0);
  EXPECT_EQ(pic.EaseAngle, 2);
  EXPECT_EQ(pic.File, "a.bri");
  EXPECT_EQ(film.Tracks[1].WipeType, 5);
  EXPECT_EQ(film.Tracks[2].Parent, 0);
  EXPECT_EQ(film.Tracks[2].EndSize, (TPoint{70, 80}));
  EXPECT_EQ(film.Tracks[2].EndBorderColor, 4);
  EXPECT_EQ(WriteFilmFile(film), f.v);

  TFilmPlayback play = PlaybackTracks(film);
  EXPECT_EQ(play.Tracks[0].Start, 20);
  EXPECT_EQ(play.Tracks[0].Duration, 60);
  EXPECT_EQ(play.Tracks[0].Cycle, 8);
  EXPECT_EQ(play.Tracks[0].StartZoomY, 1.5);
  EXPECT_EQ(play.Tracks[0].EndZoomY, 2.0);
  EXPECT_EQ(play.Tracks[0].EaseZoomY, 1);
  EXPECT_EQ(play.Tracks[0].Clip, TFilmClip{});
  EXPECT_EQ(play.Tracks[1].Start, 80);
  EXPECT_EQ(play.Tracks[2].Clip, TFilmClip{});
}

// Version 101: clip fields in the picture block and the box; a tile's second clip block is
// what plays; a transition holds its mask and parameters.
TEST(FilmFile, Version101TileTakesItsSecondClipBlock) {
  Bytes f;
  f.raw("NovaCinema101").pt(640, 480).i(0x102030).i(3);
  f.b(5).common(-1, 10, 0);
  f.pt(0, 0).pt(0, 0).pt(0, 0).b(0).b(0).i(0).i(0).d(1).d(1).b(0).i(0).i(0).b(0).clip(100).str("t.bri");
  f.pt(64, 32).pt(128, 64).pt(1, 2).pt(3, 4).b(1).b(0).pt(5, 6).clip(200);
  f.b(2).common(-1, 1, 0).pt(0, 0).pt(0, 0).b(0).b(0).i(0).i(0).pt(1, 1).pt(1, 1).i(-1).i(-1).i(0).i(0).i(0).i(0);
  f.clip(300);
  f.b(3).common(-1, 30, 50).b(7).str("mask\\m.bri").i(11).i(12).b(1);

  TFilmFile film = ReadFilmFile(f.v, "film.nmt");
  EXPECT_EQ(film.Signature, "NovaCinema");
  const TFilmTrack& tile = film.Tracks[0];
  EXPECT_EQ(tile.Clip.StartOrigin, (TPoint{100, 101}));
  EXPECT_EQ(tile.TileClip.StartOrigin, (TPoint{200, 201}));
  EXPECT_EQ(tile.TileClip.EndSize, (TPoint{206, 207}));
  EXPECT_EQ(tile.Distance, (TPoint{5, 6}));
  EXPECT_EQ(film.Tracks[1].Clip.EaseY, 2);
  EXPECT_EQ(film.Tracks[2].File, "mask\\m.bri");
  EXPECT_EQ(film.Tracks[2].WipeParam1, 12);
  EXPECT_EQ(film.Tracks[2].Reverse, 1);
  EXPECT_EQ(WriteFilmFile(film), f.v);

  TFilmPlayback play = PlaybackTracks(film);
  EXPECT_EQ(play.Tracks[0].Clip, tile.TileClip);
  EXPECT_EQ(play.Tracks[1].Clip, film.Tracks[1].Clip);
  EXPECT_EQ(play.Tracks[2].Duration, 60);
}

// A label's line space is stored from the start but means something from 103; the alignment
// byte exists from 103; zoom y is stored from 105. Relative flag from 102, origin from 104.
TEST(FilmFile, LabelAndZoomGatesOfVersions102To105) {
  struct Case {
    int version;
    bool hasAlign, hasZoomY;
  };
  for (Case c : {Case{102, false, false}, Case{103, true, false}, Case{104, true, false}, Case{105, true, true}}) {
    SCOPED_TRACE(c.version);
    Bytes f;
    f.raw("NovaMotion" + std::to_string(c.version)).pt(640, 480).i(-1).b(1);
    if (c.version > 103) f.pt(-5, 7);
    f.i(1).b(1).common(-1, 6, 3);
    f.pt(0, 0).pt(10, 10).pt(20, 20).b(0).b(0).i(0).i(0).d(2).d(3).b(2).i(0).i(0).b(0).clip(0);
    if (c.hasZoomY) f.d(0.5).d(0.25).b(1);
    f.str("hello").b(1).str("font").i(24).i(9).b(3).i(0x00FFEE);
    if (c.hasAlign) f.b(2);

    TFilmFile film = ReadFilmFile(f.v, "film.nmt");
    EXPECT_EQ(film.Relative, 1);
    EXPECT_EQ(film.DesignOrigin, c.version > 103 ? (TPoint{-5, 7}) : TPoint{});
    const TFilmTrack& label = film.Tracks[0];
    EXPECT_EQ(label.Text, "hello");
    EXPECT_EQ(label.FontName, "font");
    EXPECT_EQ(label.LineSpace, 9);  // kept as stored, also where it means nothing
    EXPECT_EQ(label.FontColor, 0x00FFEE);
    EXPECT_EQ(label.HAlign, c.hasAlign ? 2 : 0);
    EXPECT_EQ(WriteFilmFile(film), f.v);

    TFilmPlayback play = PlaybackTracks(film);
    EXPECT_TRUE(play.Relative);
    EXPECT_EQ(play.Tracks[0].LineSpace, c.version >= 103 ? 9 : 0);
    EXPECT_EQ(play.Tracks[0].StartZoomY, c.hasZoomY ? 0.5 : 2.0);
    EXPECT_EQ(play.Tracks[0].EndZoomY, c.hasZoomY ? 0.25 : 3.0);
    EXPECT_EQ(play.Tracks[0].EaseZoomY, c.hasZoomY ? 1 : 2);
    EXPECT_EQ(play.Tracks[0].Duration, 12);
  }
}

// Version 106 adds the loop start and still counts 30 frames a second; 107 counts 60; sound
// volumes are converted up to 107. An empty particle source is only an empty string.
TEST(FilmFile, Versions106To108FramesVolumesAndAnEmptyParticleSource) {
  struct Case {
    int version;
    int32_t start, duration, loopStart, volume;
  };
  for (Case c : {Case{106, 20, 60, 30, 500}, Case{107, 10, 30, 15, 500}, Case{108, 10, 30, 15, -5000}}) {
    SCOPED_TRACE(c.version);
    Bytes f;
    f.raw("NovaMotion" + std::to_string(c.version)).pt(640, 480).i(-1).b(0).pt(0, 0).i(15).i(3);
    f.b(4).common(-1, 30, 10).str("se\\a.wav").i(-5000).i(0).i(-100).i(100).b(1).b(2);
    f.b(6).common(-1, 30, 10).str("").b(2).i(3);
    for (int k = 0; k < 12; ++k) f.i(k);
    f.b(1).b(2);
    for (int k = 0; k < 6; ++k) f.d(k * 0.5);
    f.pt(1, 2).pt(3, 4).b(0).b(0).pt(640, 480).pt(320, 240).clip(10).i(0).i(50);
    f.b(7).common(1, 4, 0).pt(0, 0).pt(0, 0).b(0).b(0).pt(160, 30).pt(160, 30).clip(0);
    f.d(4).d(4).d(4).d(4).b(0).b(0).i(100);

    TFilmFile film = ReadFilmFile(f.v, "film.nmt");
    ASSERT_EQ(film.Tracks.size(), 3u);
    const TFilmTrack& part = film.Tracks[1];
    EXPECT_EQ(part.File, "");
    EXPECT_EQ(part.PartMotion, 2);
    EXPECT_EQ(part.Emission[11], 11);
    EXPECT_EQ(part.EndParam[2], 2.5);
    EXPECT_EQ(part.EndSize, (TPoint{320, 240}));
    EXPECT_EQ(part.EndAlpha, 50);
    EXPECT_EQ(film.Tracks[2].Type(), FT_FIRE);
    EXPECT_EQ(film.Tracks[2].Parent, 1);
    EXPECT_EQ(film.Tracks[2].Power, 100);
    EXPECT_EQ(WriteFilmFile(film), f.v);

    TFilmPlayback play = PlaybackTracks(film);
    EXPECT_EQ(play.LoopStart, c.loopStart);
    EXPECT_EQ(play.Tracks[0].Start, c.start);
    EXPECT_EQ(play.Tracks[0].Duration, c.duration);
    EXPECT_EQ(play.Tracks[0].StartVolume, c.volume);
    EXPECT_EQ(play.Tracks[0].EndVolume, c.version <= 107 ? 1000 : 0);
    EXPECT_EQ(film.Tracks[0].StartVolume, -5000);  // the stored value stays
  }
}

// One track of every type with every field set: each version writes its own layout (the
// record sizes of the layout tables), and what it reads back it writes again byte for byte.
TEST(FilmFile, EveryVersionWritesItsLayoutAndReadsItBack) {
  TFilmFile film;
  film.SceneSize = {800, 600};
  film.BackColor = 0x123456;
  film.Relative = 1;
  film.DesignOrigin = {3, 4};
  film.LoopStart = 9;
  for (int type = 0; type < kFilmTrackTypeCount; ++type) {
    TFilmTrack t = NewFilmTrack(type, 800, 600);
    t.Parent = type == 0 ? -1 : type - 1;
    t.Start = type;
    t.Unused = 1000 + type;
    t.StartZoomY = 0.75;
    t.Clip.EndSize = {9, 9};
    t.TileClip.StartSize = {8, 8};
    t.File = "file" + std::to_string(type);
    t.Text = "text";
    t.FontName = "face";
    t.LineSpace = 4;
    t.HAlign = 1;
    t.WipeParam0 = 77;
    t.StartParam[1] = 0.1;
    film.Tracks.push_back(t);
  }
  film.Tracks[3].TypeByte |= 0x80;
  for (int version = kFilmOldestVersion; version <= kFilmNewestVersion; ++version) {
    SCOPED_TRACE(version);
    film.Version = version;
    const size_t block = 60 + (version > 100 ? 34 : 0) + (version >= 105 ? 17 : 0);
    const size_t sizes[kFilmTrackTypeCount] = {
        27 + block + 9,                                                        // picture
        27 + block + 8 + 1 + 8 + 13 + (version >= 103 ? 1 : 0),                // label
        27 + 18 + 8 + 16 + 24 + (version >= 101 ? 34u : 0u),                   // box
        27 + 1 + (version > 100 ? 9u + 9u : 0u),                               // transition
        27 + 9 + 18,                                                           // sound
        27 + block + 9 + 42 + (version >= 101 ? 34 : 0),                       // tile
        27 + 9 + 5 + 48 + 2 + 48 + 18 + 16 + 34 + 8,                           // particle
        27 + 18 + 16 + 34 + 32 + 2 + 4,                                        // fire
    };
    size_t expected = 13 + 12 + (version > 101 ? 1 : 0) + (version > 103 ? 8 : 0) + (version > 105 ? 4 : 0) + 4;
    for (size_t s : sizes) expected += 1 + s;
    std::vector<uint8_t> bytes = WriteFilmFile(film);
    EXPECT_EQ(bytes.size(), expected);
    TFilmFile back = ReadFilmFile(bytes, "film.nmt");
    EXPECT_EQ(WriteFilmFile(back), bytes);
    EXPECT_EQ(back.Tracks[3].TypeByte, 0x83);
    EXPECT_EQ(back.Tracks[7].Unused, 1007);
    EXPECT_EQ(back.Tracks[0].StartZoomY, version >= 105 ? 0.75 : 1.0);
    EXPECT_EQ(back.Tracks[3].WipeParam0, version > 100 ? 77 : 0);
    EXPECT_EQ(back.Tracks[6].StartParam[1], 0.1);
  }
}

TEST(FilmFile, EveryTruncationOfAFilmIsRefused) {
  TFilmFile film;
  film.Version = 106;
  film.Tracks = {NewFilmTrack(FT_SOUND), NewFilmTrack(FT_PARTICLE), NewFilmTrack(FT_LABEL)};
  film.Tracks[2].Text = "abc";
  std::vector<uint8_t> bytes = WriteFilmFile(film);
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
    EXPECT_EQ(IsFilmFile(cut), n >= 10) << n;
    EXPECT_THROW(ReadFilmFile(cut, "film.nmt"), ENovaError) << n;
  }
  EXPECT_EQ(ReadFilmFile(bytes, "film.nmt"), film);
}

// Films with bytes changed at random: each either is refused with an error or reads, and what
// reads writes back as exactly the bytes it was read from (the reader ignores bytes after the
// last track).
TEST(FilmFile, ChangedBytesAreRefusedOrReadLosslessly) {
  TFilmFile film;
  film.Version = 104;
  film.Tracks = {NewFilmTrack(FT_TILE), NewFilmTrack(FT_WIPE), NewFilmTrack(FT_PARTICLE), NewFilmTrack(FT_BOX)};
  film.Tracks[1].Parent = 0;
  film.Tracks[2].File = "p.bri";
  const std::vector<uint8_t> original = WriteFilmFile(film);
  uint32_t state = 12345;
  auto next = [&]() { return state = state * 1103515245u + 12345u; };
  int read = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = original;
    for (int k = 0; k < 3; ++k) bytes[(next() >> 8) % bytes.size()] = static_cast<uint8_t>(next() >> 16);
    try {
      std::vector<uint8_t> again = WriteFilmFile(ReadFilmFile(bytes, "film.nmt"));
      ++read;
      ASSERT_LE(again.size(), bytes.size());
      ASSERT_TRUE(std::equal(again.begin(), again.end(), bytes.begin())) << round;
    } catch (const ENovaError&) {
    }
  }
  EXPECT_GT(read, 100);  // most changes hit values, not structure
}

TEST(FilmFile, DamagedFilmsAreRefusedWithTheirFault) {
  auto film = [](const std::string& version, int32_t count) {
    Bytes f;
    f.raw("NovaMotion" + version).pt(640, 480).i(-1).b(0).pt(0, 0).i(0).i(count);
    return f;
  };
  auto wipe = [](Bytes f, int32_t parent) { return f.b(3).common(parent, 1, 0).b(1).str("").i(0).i(0).b(0); };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  Bytes huge = film("108", 1);
  huge.b(4).common(-1, 1, 0).i(0x7FFFFFF0);
  Bytes negative = film("108", 1);
  negative.b(4).common(-1, 1, 0).i(-4);
  const Case cases[] = {
      {"no signature", Bytes().raw("NovaMovie_108").v, "film.nmt: not a film"},
      {"version letters", film("1a8", 0).v, "film.nmt: the version is not three decimal digits"},
      {"version too old", film("099", 0).v, "film.nmt: version 99 is not one of 100 to 108"},
      {"version too new", film("109", 0).v, "film.nmt: version 109 is not one of 100 to 108"},
      {"unknown type", film("108", 1).b(9).common(-1, 1, 0).v, "film.nmt: track 0 has an unknown type 9"},
      {"type 8 with high bit", film("108", 1).b(0x88).common(-1, 1, 0).v, "film.nmt: track 0 has an unknown type 8"},
      {"huge track count", film("108", 0x7FFFFFFF).v, "film.nmt: the track count 2147483647 is more than"},
      {"negative track count", film("108", -1).v, "film.nmt: the track count -1 is negative"},
      {"huge string", huge.v, "film.nmt: track 0 (file) has a length of 2147483632 bytes"},
      {"negative string", negative.v, "film.nmt: track 0 (file) has a negative length -4"},
      {"parent past the end", wipe(wipe(film("108", 2), -1), 2).v, "film.nmt: track 1 has the parent 2, but the film has 2"},
      {"parent below -1", wipe(film("108", 1), -2).v, "film.nmt: track 0 has the parent -2"},
      {"own parent", wipe(wipe(film("108", 2), -1), 1).v, "film.nmt: track 1 is its own parent"},
      {"two-track cycle", wipe(wipe(film("108", 2), 1), 0).v, "film.nmt: track 0 has parents forming a cycle"},
      {"truncated record", film("108", 1).b(0).common(-1, 1, 0).pt(0, 0).v, "film.nmt: truncated in track 0 (start_pos)"},
  };
  for (const Case& c : cases) {
    std::string error = ReadError(c.bytes);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.what << ": " << error;
  }
  EXPECT_FALSE(IsFilmFile(cases[0].bytes));
  // What a reader refuses, the writer does not write.
  TFilmFile cyclic = ReadFilmFile(wipe(wipe(film("108", 2), 1), -1).v, "ok.nmt");
  cyclic.Tracks[1].Parent = 0;
  EXPECT_THROW(WriteFilmFile(cyclic), ENovaError);
  cyclic.Tracks[1].Parent = -1;
  cyclic.Version = 109;
  EXPECT_THROW(WriteFilmFile(cyclic), ENovaError);
}

TEST(FilmFile, NewTracksHaveTheAuthoringDefaults) {
  EXPECT_EQ(NewFilmTrack(FT_LABEL).Duration, 5);
  EXPECT_EQ(NewFilmTrack(FT_LABEL).FontHeight, 12);
  EXPECT_EQ(NewFilmTrack(FT_LABEL).FontColor, 0xFFFFFF);
  EXPECT_EQ(NewFilmTrack(FT_WIPE).Duration, 1);
  EXPECT_EQ(NewFilmTrack(FT_WIPE).WipeType, 1);
  EXPECT_EQ(NewFilmTrack(FT_SOUND).StartVolume, 1000);
  EXPECT_EQ(NewFilmTrack(FT_BOX).EndSize, (TPoint{100, 100}));
  TFilmTrack particle = NewFilmTrack(FT_PARTICLE, 800, 600);
  EXPECT_EQ(particle.StartSize, (TPoint{800, 600}));
  EXPECT_EQ(particle.Emission, (std::array<int32_t, 12>{100, 100, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1}));
  TFilmTrack fire = NewFilmTrack(FT_FIRE, 800, 600);
  EXPECT_EQ(fire.EndSize, (TPoint{200, 30}));
  EXPECT_EQ(fire.EndZoomY, 4.0);
  EXPECT_EQ(fire.Power, 100);
  EXPECT_EQ(NewFilmTrack(FT_PICTURE).StartZoomX, 1.0);
  EXPECT_THROW(NewFilmTrack(8), ENovaError);
}

TEST(FilmFile, FileNamesResolveAgainstTheFilmFolder) {
  EXPECT_EQ(FilmFolder("movie\\op.nmt"), "movie\\");
  EXPECT_EQ(FilmFolder("op.nmt"), "");
  EXPECT_EQ(FilmFolder("a/b.nmt"), "a/");
  EXPECT_EQ(FilmFolder("\x95\x5C.nmt"), "");  // a trail byte 0x5C is no delimiter

  struct Case {
    const char* folder;
    const char* name;
    const char* resolved;
  };
  const Case cases[] = {
      {"movie\\", "a.bri", "movie\\a.bri"},
      {"", "a.bri", "a.bri"},
      {"movie\\sub\\", "..\\a.bri", "MOVIE\\a.bri"},
      {"movie\\sub\\", "..\\..\\a.bri", "a.bri"},
      {"movie\\", "..\\..\\a.bri", "..\\a.bri"},  // climbing stops when the folder runs out
      {"", "..\\a.bri", "..\\a.bri"},
      {"c:\\game\\movie\\", "..\\a.bri", "C:\\GAME\\a.bri"},
      {"c:\\game\\movie\\", "..\\..\\..\\a.bri", "a.bri"},
      {"c:\\game\\movie\\", "..\\..\\a.bri", "C:\\a.bri"},
      {"\\\\server\\share\\m\\", "..\\x.bri", "\\\\SERVER\\SHARE\\x.bri"},
      {"\\\\server\\share\\m\\", "..\\..\\x.bri", "\\\\SERVER\\x.bri"},
      {"\\\\server\\share\\m\\", "..\\..\\..\\x.bri", "x.bri"},
      {"\\movie\\", "..\\a.bri", "\\a.bri"},
      {"movie\\", "..\\", ""},
      {"movie\\", "x", "x"},
      {"movie\\", "", ""},
      {"movie\\", "\\a.bri", "\\a.bri"},
      {"movie\\", "X:", "X:"},
      {"movie\\", "d:a.bri", "d:a.bri"},
      {"\x95\x5C\\sub\\", "..\\a", "\x95\x5C\\a"},  // 表\sub\: the 0x5C inside 表 does not split
      {"\x83\x61\\b\\", "..\\a", "\x83\x61\\a"},    // upper-casing leaves trail bytes alone
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveFilmName(c.folder, c.name), c.resolved) << c.folder << " + " << c.name;

  const Case masks[] = {
      {"m\\", "w.bri", "m\\w.bri"}, {"m\\", "..\\w.bri", "m\\..\\w.bri"}, {"m\\", "\\w.bri", "\\w.bri"},
      {"m\\", "c:w.bri", "c:w.bri"}, {"m\\", "x", "m\\x"},                 {"m\\", "", ""},
  };
  for (const Case& c : masks) EXPECT_EQ(ResolveFilmMaskName(c.folder, c.name), c.resolved) << c.name;
}

}  // namespace
}  // namespace nova
