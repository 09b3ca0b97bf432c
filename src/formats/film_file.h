#pragma once
// Film files (".nmt"; also cinema films): a header and a list of tracks, each animating one
// picture, caption, box, tiled picture, particle or fire effect, sound or screen transition
// over a span of frames. Versions 100 to 108 ("100" .. "108" after the signature).
//
// TFilmFile holds the values exactly as stored, field by field, so a film read and written
// again gives the same bytes; the version conversions a player applies (frames doubled up to
// version 106, sound volumes converted up to 107, zoom y copied from zoom x before 105, the
// tile's second clip block) are done by PlaybackTracks, not by the reader.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "base/geometry.h"

namespace nova {

// Track type codes (the low 7 bits of the type byte).
enum TFilmTrackType : int {
  FT_PICTURE = 0, FT_LABEL = 1, FT_BOX = 2, FT_WIPE = 3, FT_SOUND = 4, FT_TILE = 5, FT_PARTICLE = 6, FT_FIRE = 7
};
constexpr int kFilmTrackTypeCount = 8;
constexpr int kFilmOldestVersion = 100;
constexpr int kFilmNewestVersion = 108;

// The clip fields (34 bytes): origin and size at start and end, easings of x and y.
struct TFilmClip {
  TPoint StartOrigin, StartSize, EndOrigin, EndSize;  // sizes as (width, height) in X, Y
  uint8_t EaseX = 0, EaseY = 0;
  friend bool operator==(const TFilmClip&, const TFilmClip&) = default;
};

// One track record; which fields a record holds depends on the type and the version (see
// film_file.cpp and docs/films.md). Values of a new track are the authoring defaults.
struct TFilmTrack {
  uint8_t TypeByte = FT_PICTURE;  // as stored; the high bit is kept but means nothing
  int Type() const { return TypeByte & 0x7F; }

  // Common header (27 bytes).
  int32_t Parent = -1;  // index of the parent track in the file, -1 none
  int32_t Duration = 1, Unused = 0, Start = 0, Cycle = 0, Priority = 0;
  uint8_t FlipH = 0, FlipV = 0, OtherScreen = 0;

  // Picture block (picture, tile, label).
  TPoint HotSpot;
  TPoint StartPos, EndPos;  // also the rectangle block of box, particle and fire records
  uint8_t EaseX = 0, EaseY = 0;
  int32_t StartAngle = 0, EndAngle = 0;
  double StartZoomX = 1.0, EndZoomX = 1.0;  // fire: 4.0 for a new track
  uint8_t EaseZoomX = 0;
  int32_t StartAlpha = 0, EndAlpha = 0;
  uint8_t EaseAngle = 0;
  TFilmClip Clip;  // picture block: version > 100; box: version >= 101; fire, particle: always
  double StartZoomY = 1.0, EndZoomY = 1.0;  // picture block: version >= 105; fire: always
  uint8_t EaseZoomY = 0;

  // The file the track uses: picture/tile layered image, particle source, sound file,
  // transition mask (version > 100). Shift-JIS, as stored (relative to the film's folder).
  std::string File;

  // Sizes: tile, box, particle and fire records (start and end width/height in X, Y).
  TPoint StartSize{100, 100}, EndSize{100, 100};

  // Tile record.
  TPoint StartScroll, EndScroll;
  uint8_t EaseScrollX = 0, EaseScrollY = 0;
  TPoint Distance;
  TFilmClip TileClip;  // the second clip block (version >= 101); replaces Clip in playback

  // Label record.
  std::string Text;
  uint8_t Antialias = 0;
  std::string FontName;
  int32_t FontHeight = 12;
  int32_t LineSpace = 0;  // present but ignored before version 103
  uint8_t FontStyle = 0;
  int32_t FontColor = 0xFFFFFF;
  uint8_t HAlign = 0;  // version >= 103

  // Box record.
  int32_t StartColor = 0, EndColor = 0;
  int32_t StartBorderWidth = 0, EndBorderWidth = 0;
  int32_t StartBorderColor = 0, EndBorderColor = 0;

  // Fire record.
  int32_t Power = 100;

  // Particle record.
  uint8_t PartMotion = 0;
  int32_t Index = 0;
  // Interval base start/end, interval range start/end, x base start, y base start, x base end,
  // y base end, x range start, y range start, x range end, y range end (stored order).
  std::array<int32_t, 12> Emission{100, 100, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1};
  uint8_t EaseXBase = 0, EaseYBase = 0;
  std::array<double, 3> StartParam{0, 0, 0}, EndParam{0, 0, 0};

  // Transition record.
  uint8_t WipeType = 1;
  int32_t WipeParam0 = 0, WipeParam1 = 0;  // version > 100 (with the mask name in File)
  uint8_t Reverse = 0;

  // Sound record.
  int32_t StartVolume = 1000, EndVolume = 1000, StartBalance = 0, EndBalance = 0;
  uint8_t EaseVolume = 0, EaseBalance = 0;

  friend bool operator==(const TFilmTrack&, const TFilmTrack&) = default;
};

// A new track of a type with the authoring defaults for that type (durations, sizes, zooms).
TFilmTrack NewFilmTrack(int type, int32_t sceneWidth = 640, int32_t sceneHeight = 480);

struct TFilmFile {
  std::string Signature = "NovaMotion";  // "NovaMotion" or "NovaCinema"
  int Version = kFilmNewestVersion;
  TPoint SceneSize{640, 480};
  int32_t BackColor = -1;
  uint8_t Relative = 0;      // version > 101
  TPoint DesignOrigin;       // version > 103
  int32_t LoopStart = 0;     // version > 105
  std::vector<TFilmTrack> Tracks;
  friend bool operator==(const TFilmFile&, const TFilmFile&) = default;
};

// Whether the bytes start with one of the two signatures (anything else plays as an empty film).
bool IsFilmFile(std::span<const uint8_t> bytes);

// Reads a film. Raises ENovaError naming the film (`name`) for an unreadable one: a signature
// with a version outside 100..108 or not three digits, a truncated record, a track count or a
// string longer than the rest of the file, a track type above 7, a parent index out of range,
// pointing at the track itself or forming a cycle. Bytes without a signature are not an error
// here: check IsFilmFile first (the player shows them as an empty film).
TFilmFile ReadFilmFile(std::span<const uint8_t> bytes, const std::string& name);

// The bytes of the film in the layout of its Version. Raises for what a reader would refuse: a
// version outside 100..108, another signature, a type above 7, a parent that is out of range,
// the track itself or part of a cycle.
std::vector<uint8_t> WriteFilmFile(const TFilmFile& film);

// The stored fields of the header or of one track record, in file order, for one version: the
// reader, the writer and the text description of a film (authoring/film_description) walk the
// same lists, so they agree on which fields a version holds. The header list starts after the
// signature and version and ends before the track count; a track list starts after the type
// byte. Colour marks int32 fields holding a colour (shown in hexadecimal by the description).
using TFilmFieldRef = std::variant<uint8_t*, int32_t*, double*, std::string*, TPoint*>;
struct TFilmField {
  const char* Name;
  TFilmFieldRef Value;
  bool Colour = false;
};
std::vector<TFilmField> FilmHeaderFields(TFilmFile& film);
std::vector<TFilmField> FilmTrackFields(TFilmTrack& track, int version);  // by track.Type()

// What makes the tracks unplayable, or empty when nothing does: a type above 7 or a parent
// index out of range, pointing at the track itself or forming a cycle. `track` receives the
// index of the track at fault.
std::string FilmTracksProblem(const TFilmFile& film, size_t& track);

// The name of a track type ("picture", "label", "box", "wipe", "sound", "tile", "particle",
// "fire"), or empty above 7.
const char* FilmTrackTypeName(int type);

// The tracks as a player uses them: frames (start, duration, cycle, loop start) doubled for
// version <= 106, volumes converted (stored / 10 + 1000) for version <= 107, zoom y copied
// from zoom x before 105, a tile's clip taken from its second block from version 101.
struct TFilmPlayback {
  TPoint SceneSize;
  int32_t BackColor = -1;
  bool Relative = false;
  TPoint DesignOrigin;
  int32_t LoopStart = 0;
  std::vector<TFilmTrack> Tracks;
};
TFilmPlayback PlaybackTracks(const TFilmFile& film);

// The folder of a film: its name up to and including the last "\" or "/" (empty without one).
std::string FilmFolder(const std::string& filmName);
// A picture, tile, particle or sound name of a film resolved against the film's folder
// (kept as it is when at most one byte long, starting with "\" or with ":" as second byte;
// leading "..\" climb the folder's components, a drive or network prefix being one).
std::string ResolveFilmName(const std::string& folder, const std::string& name);
// A transition mask name: kept when starting with "\" or with ":" second, else appended.
std::string ResolveFilmMaskName(const std::string& folder, const std::string& name);

}  // namespace nova
