// Films as text: a description reads back to the same film for every version, fields left out
// take a new track's values, and faults are reported with their line.
#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "authoring/film_description.h"
#include "base/error.h"

namespace nova {
namespace {

std::string ParseError(const std::string& text) {
  try {
    ParseFilmDescription(text, "op.txt");
  } catch (const ENovaError& e) {
    return e.what();
  }
  return "(parsed)";
}

// A film with a track of every type whose fields hold values no default has, including strings
// that are not plain ASCII and reals that only print exactly in full.
TFilmFile Sample(int version) {
  TFilmFile film;
  film.Signature = "NovaCinema";
  film.Version = version;
  film.SceneSize = {800, 600};
  film.BackColor = 0x00A0B0C0;
  film.Relative = 1;
  film.DesignOrigin = {-3, 4};
  film.LoopStart = 17;
  for (int type = 0; type < kFilmTrackTypeCount; ++type) {
    TFilmTrack t = NewFilmTrack(type, 800, 600);
    t.Parent = type == 0 ? -1 : 0;
    t.Duration = 40 + type;
    t.Unused = -7;
    t.Start = type;
    t.StartPos = {1, -2};
    t.StartZoomX = 0.1;
    t.EndZoomX = 1.0 / 3.0;
    t.StartZoomY = -0.0;
    t.EndZoomY = std::bit_cast<double>(uint64_t{0x7FF8000000000123});  // a NaN with a payload
    t.StartParam[2] = 1e-300;
    t.Clip.EndSize = {5, 6};
    t.TileClip.EaseY = 2;
    t.StartColor = -1;
    t.EndColor = static_cast<int32_t>(0x80000001);
    t.FontColor = 0x0000FF;
    t.LineSpace = 3;
    t.HAlign = 2;
    t.Emission[4] = -9;
    // "画像\x95" quote, backslash, tab; a lone lead byte at the end; NEC and IBM spellings of ∵.
    t.File = "cg\\\x89\xe6\x91\x9c \"q\"\t.bri\x81";
    t.Text = "\x87\x9a/\xfa\x5b";
    t.FontName = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
    film.Tracks.push_back(t);
  }
  film.Tracks[4].TypeByte = 0x84;
  return film;
}

TEST(FilmDescription, EveryVersionReadsBackToTheSameFilm) {
  for (int version = kFilmOldestVersion; version <= kFilmNewestVersion; ++version) {
    SCOPED_TRACE(version);
    // The film as a reader sees it: only what this version stores.
    TFilmFile film = ReadFilmFile(WriteFilmFile(Sample(version)), "op.nmt");
    std::string text = DescribeFilm(film);
    TFilmFile back = ParseFilmDescription(text, "op.txt");
    EXPECT_EQ(WriteFilmFile(back), WriteFilmFile(film));
    EXPECT_EQ(back.Tracks[1].FontName, film.Tracks[1].FontName);
    EXPECT_EQ(DescribeFilm(back), text);
    EXPECT_EQ(text.find("h_align") != std::string::npos, version >= 103) << text;
    EXPECT_EQ(text.find("loop_start") != std::string::npos, version > 105);
    EXPECT_EQ(text.find("tile_clip_ease_y") != std::string::npos, version >= 101);
  }
  std::string text = DescribeFilm(ReadFilmFile(WriteFilmFile(Sample(108)), "op.nmt"));
  // Strings read as UTF-8 where they convert both ways, as escapes where they do not.
  EXPECT_NE(text.find("file                  \"cg\\\\画像 \\\"q\\\"\\t.bri\\x81\""), std::string::npos) << text;
  EXPECT_NE(text.find("track sound 0x84  # 4\n"), std::string::npos);
  EXPECT_NE(text.find("end_zoom_x            0.3333333333333333\n"), std::string::npos);
  EXPECT_NE(text.find("end_color             0x80000001\n"), std::string::npos);
  EXPECT_NE(text.find("font_name             \"ＭＳ ゴシック\"\n"), std::string::npos);
}

// Every byte alone and every lead byte with every possible second byte survive the text form.
TEST(FilmDescription, EveryShiftJisByteSequenceRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      all += static_cast<char>(lead);
      all += static_cast<char>(trail);
    }
  }
  TFilmFile film;
  TFilmTrack label = NewFilmTrack(FT_LABEL);
  label.Text = all;
  label.FontName = all.substr(0, 200);
  film.Tracks.push_back(label);
  std::string text = DescribeFilm(film);
  EXPECT_EQ(text.find('\0'), std::string::npos);
  EXPECT_EQ(ParseFilmDescription(text, "op.txt"), film);
}

TEST(FilmDescription, LeftOutFieldsTakeTheValuesOfANewTrack) {
  TFilmFile film = ParseFilmDescription(
      "# opening\n"
      "film NovaMotion 108\n"
      "scene_size 320 200\n"
      "\n"
      "track particle\n"
      "  source \"\\x83\\x70.bri\"   # a comment\n"
      "track fire\n"
      "  parent 0\n"
      "track label\n"
      "  text \"\xe3\x81\x82\"\n"
      "  font_color 0xFFFFFFFF\n",
      "op.txt");
  ASSERT_EQ(film.Tracks.size(), 3u);
  TFilmTrack particle = NewFilmTrack(FT_PARTICLE, 320, 200);
  particle.File = "\x83\x70.bri";
  EXPECT_EQ(film.Tracks[0], particle);
  EXPECT_EQ(film.Tracks[1].EndSize, (TPoint{80, 30}));
  EXPECT_EQ(film.Tracks[1].Parent, 0);
  EXPECT_EQ(film.Tracks[2].Text, "\x82\xa0");
  EXPECT_EQ(film.Tracks[2].FontColor, -1);
  EXPECT_EQ(film.Tracks[2].Duration, 5);
  EXPECT_EQ(film.BackColor, -1);
}

TEST(FilmDescription, FaultsAreReportedWithTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"scene_size 1 2\n", "op.txt:1: a description starts with \"film NovaMotion|NovaCinema VERSION\""},
      {"", "op.txt:1: a description starts with"},
      {"film NovaMovie 108\n", "op.txt:1: the signature is NovaMotion or NovaCinema, not 'NovaMovie'"},
      {"film NovaMotion 109\n", "op.txt:1: the version takes a number from 100 to 108, not 109"},
      {"film NovaMotion 108\nfilm NovaMotion 108\n", "op.txt:2: a second film line"},
      {"film NovaMotion 104\nloop_start 3\n", "op.txt:2: version 104 films have no loop_start"},
      {"film NovaMotion 108\ncolour 3\n", "op.txt:2: unknown header field 'colour'"},
      {"film NovaMotion 108\ntrack movie\n", "op.txt:2: unknown track type 'movie' (picture, label"},
      {"film NovaMotion 108\ntrack 8\n", "op.txt:2: the track type takes a number from 0 to 7, not 8"},
      {"film NovaMotion 108\ntrack box 0x81\n", "op.txt:2: the type byte 0x81 is not a box track"},
      {"film NovaMotion 108\n\ntrack box\n  text \"a\"\n", "op.txt:4: a box track has no field 'text'"},
      {"film NovaMotion 102\ntrack label\n  h_align 1\n", "op.txt:3: a label track of version 102 has no h_align"},
      {"film NovaMotion 108\ntrack box\nscene_size 1 1\n", "op.txt:3: the header field scene_size comes before the first track"},
      {"film NovaMotion 108\ntrack box\n  duration 1\n  duration 2\n", "op.txt:4: duration is given twice"},
      {"film NovaMotion 108\ntrack box\n  duration 2147483648\n", "op.txt:3: duration takes a number from"},
      {"film NovaMotion 108\ntrack box\n  flip_h 256\n", "op.txt:3: flip_h takes a number from 0 to 255, not 256"},
      {"film NovaMotion 108\ntrack box\n  start_pos 1\n", "op.txt:3: start_pos takes 2 values"},
      {"film NovaMotion 108\ntrack box\n  duration \"1\"\n", "op.txt:3: duration takes a whole number"},
      {"film NovaMotion 108\ntrack fire\n  start_zoom_x 1.5x\n", "op.txt:3: start_zoom_x takes a real number, not '1.5x'"},
      {"film NovaMotion 108\ntrack sound\n  file \"a.wav\n", "op.txt:3: the string has no closing quote"},
      {"film NovaMotion 108\ntrack sound\n  file \"\\q\"\n", "op.txt:3: unknown escape \\q"},
      {"film NovaMotion 108\ntrack sound\n  file \"\\x4\"\n", "op.txt:3: \\x takes two hexadecimal digits"},
      {"film NovaMotion 108\ntrack sound\n  file \"\xf0\x9f\x98\x80\"\n", "op.txt:3: the string holds text that Shift-JIS cannot hold"},
      {"film NovaMotion 108\ntrack sound\n  file a.wav\n", "op.txt:3: file takes a string in double quotes"},
      {"film NovaMotion 108\ntrack box\ntrack box\n  parent 1\n", "op.txt:3: track 1 is its own parent"},
      {"film NovaMotion 108\ntrack box\n  parent 1\ntrack box\n  parent 0\n", "op.txt:2: track 0 has parents forming a cycle"},
      {"film NovaMotion 108\ntrack box\n  parent 4\n", "op.txt:2: track 0 has the parent 4, but the film has 1 tracks"},
  };
  for (const Case& c : cases) {
    std::string error = ParseError(c.text);
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << "-> " << error;
  }
}

}  // namespace
}  // namespace nova
