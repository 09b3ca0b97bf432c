#include "formats/film_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "base/error.h"
#include "base/sjis.h"

namespace nova {
namespace {

constexpr const char* kSignatures[] = {"NovaMotion", "NovaCinema"};
constexpr size_t kSignatureSize = 10;
// The smallest track in a file: the type byte and the common header. A track count is checked
// against it before anything is allocated for the tracks.
constexpr size_t kMinTrackBytes = 1 + 27;

// Reads the fields of a film with bounds checks; every shortage raises naming the film and
// where in the film the data ran out.
class TFilmReader {
public:
  TFilmReader(std::span<const uint8_t> bytes, const std::string& name) : bytes_(bytes), name_(name) {}

  size_t Remaining() const { return bytes_.size() - pos_; }
  size_t Position() const { return pos_; }

  [[noreturn]] void Fail(const std::string& what) const { RaiseError(name_ + ": " + what); }

  const uint8_t* Take(size_t n, const std::string& where) {
    if (n > Remaining()) Fail("truncated in " + where);
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
  }
  uint8_t Byte(const std::string& where) { return *Take(1, where); }
  int32_t Int32(const std::string& where) {
    const uint8_t* p = Take(4, where);
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
  }
  double Real(const std::string& where) {
    const uint8_t* p = Take(8, where);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return std::bit_cast<double>(v);
  }
  std::string String(const std::string& where) {
    int32_t n = Int32(where);
    if (n < 0) Fail(where + " has a negative length " + std::to_string(n));
    if (static_cast<size_t>(n) > Remaining())
      Fail(where + " has a length of " + std::to_string(n) + " bytes, more than the " +
           std::to_string(Remaining()) + " left in the file");
    const uint8_t* p = Take(static_cast<size_t>(n), where);
    return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
  }

  void Field(const TFilmField& f, const std::string& owner) {
    std::string where = owner + " (" + f.Name + ")";
    std::visit(
        [&](auto* v) {
          using T = std::remove_pointer_t<decltype(v)>;
          if constexpr (std::is_same_v<T, uint8_t>) *v = Byte(where);
          else if constexpr (std::is_same_v<T, int32_t>) *v = Int32(where);
          else if constexpr (std::is_same_v<T, double>) *v = Real(where);
          else if constexpr (std::is_same_v<T, std::string>) *v = String(where);
          else {
            v->X = Int32(where);
            v->Y = Int32(where);
          }
        },
        f.Value);
  }

private:
  std::span<const uint8_t> bytes_;
  const std::string& name_;
  size_t pos_ = 0;
};

class TFilmWriter {
public:
  void Byte(uint8_t v) { out.push_back(v); }
  void Int32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
  }
  void Real(double d) {
    uint64_t v = std::bit_cast<uint64_t>(d);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void String(const std::string& s) {
    if (s.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) RaiseError("film string too long");
    Int32(static_cast<int32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
  }
  void Field(const TFilmField& f) {
    std::visit(
        [&](auto* v) {
          using T = std::remove_pointer_t<decltype(v)>;
          if constexpr (std::is_same_v<T, uint8_t>) Byte(*v);
          else if constexpr (std::is_same_v<T, int32_t>) Int32(*v);
          else if constexpr (std::is_same_v<T, double>) Real(*v);
          else if constexpr (std::is_same_v<T, std::string>) String(*v);
          else {
            Int32(v->X);
            Int32(v->Y);
          }
        },
        f.Value);
  }
  std::vector<uint8_t> out;
};

// The clip fields; a tile record holds them twice, the second block under its own names.
void AddClip(std::vector<TFilmField>& f, TFilmClip& c, bool tileBlock) {
  f.push_back({tileBlock ? "tile_clip_start_origin" : "clip_start_origin", &c.StartOrigin});
  f.push_back({tileBlock ? "tile_clip_start_size" : "clip_start_size", &c.StartSize});
  f.push_back({tileBlock ? "tile_clip_end_origin" : "clip_end_origin", &c.EndOrigin});
  f.push_back({tileBlock ? "tile_clip_end_size" : "clip_end_size", &c.EndSize});
  f.push_back({tileBlock ? "tile_clip_ease_x" : "clip_ease_x", &c.EaseX});
  f.push_back({tileBlock ? "tile_clip_ease_y" : "clip_ease_y", &c.EaseY});
}

void AddPictureBlock(std::vector<TFilmField>& f, TFilmTrack& t, int version) {
  f.push_back({"hot_spot", &t.HotSpot});
  f.push_back({"start_pos", &t.StartPos});
  f.push_back({"end_pos", &t.EndPos});
  f.push_back({"ease_x", &t.EaseX});
  f.push_back({"ease_y", &t.EaseY});
  f.push_back({"start_angle", &t.StartAngle});
  f.push_back({"end_angle", &t.EndAngle});
  f.push_back({"start_zoom_x", &t.StartZoomX});
  f.push_back({"end_zoom_x", &t.EndZoomX});
  f.push_back({"ease_zoom_x", &t.EaseZoomX});
  f.push_back({"start_alpha", &t.StartAlpha});
  f.push_back({"end_alpha", &t.EndAlpha});
  f.push_back({"ease_angle", &t.EaseAngle});
  if (version > 100) AddClip(f, t.Clip, false);
  if (version >= 105) {
    f.push_back({"start_zoom_y", &t.StartZoomY});
    f.push_back({"end_zoom_y", &t.EndZoomY});
    f.push_back({"ease_zoom_y", &t.EaseZoomY});
  }
}

void AddRectBlock(std::vector<TFilmField>& f, TFilmTrack& t) {
  f.push_back({"start_pos", &t.StartPos});
  f.push_back({"end_pos", &t.EndPos});
  f.push_back({"ease_x", &t.EaseX});
  f.push_back({"ease_y", &t.EaseY});
}

void AddSizes(std::vector<TFilmField>& f, TFilmTrack& t) {
  f.push_back({"start_size", &t.StartSize});
  f.push_back({"end_size", &t.EndSize});
}

std::string TrackText(size_t i) { return "track " + std::to_string(i); }

int32_t Doubled(int32_t v) {
  // Old films count frames at 30 per second; a value too large to double stays at the limit.
  int64_t d = int64_t{v} * 2;
  return static_cast<int32_t>(std::clamp<int64_t>(d, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

const char* FilmTrackTypeName(int type) {
  static const char* const kNames[kFilmTrackTypeCount] = {"picture", "label", "box",      "wipe",
                                                          "sound",   "tile",  "particle", "fire"};
  return type >= 0 && type < kFilmTrackTypeCount ? kNames[type] : "";
}

TFilmTrack NewFilmTrack(int type, int32_t sceneWidth, int32_t sceneHeight) {
  if (type < 0 || type >= kFilmTrackTypeCount) RaiseError("unknown film track type " + std::to_string(type));
  TFilmTrack t;
  t.TypeByte = static_cast<uint8_t>(type);
  switch (type) {
    case FT_LABEL:
      t.Duration = 5;
      break;
    case FT_TILE:
      // A tile without a size takes the size of its picture's first frame.
      t.StartSize = t.EndSize = TPoint{0, 0};
      break;
    case FT_PARTICLE:
      t.StartSize = t.EndSize = TPoint{sceneWidth, sceneHeight};
      break;
    case FT_FIRE:
      t.StartSize = t.EndSize = TPoint{sceneWidth / 4, 30};
      t.StartZoomX = t.StartZoomY = t.EndZoomX = t.EndZoomY = 4.0;
      break;
    default:
      break;
  }
  return t;
}

std::vector<TFilmField> FilmHeaderFields(TFilmFile& film) {
  std::vector<TFilmField> f;
  f.push_back({"scene_size", &film.SceneSize});
  f.push_back({"back_color", &film.BackColor, true});
  if (film.Version > 101) f.push_back({"relative", &film.Relative});
  if (film.Version > 103) f.push_back({"design_origin", &film.DesignOrigin});
  if (film.Version > 105) f.push_back({"loop_start", &film.LoopStart});
  return f;
}

std::vector<TFilmField> FilmTrackFields(TFilmTrack& t, int version) {
  std::vector<TFilmField> f;
  f.push_back({"parent", &t.Parent});
  f.push_back({"duration", &t.Duration});
  f.push_back({"unused", &t.Unused});
  f.push_back({"start", &t.Start});
  f.push_back({"cycle", &t.Cycle});
  f.push_back({"priority", &t.Priority});
  f.push_back({"flip_h", &t.FlipH});
  f.push_back({"flip_v", &t.FlipV});
  f.push_back({"other_screen", &t.OtherScreen});
  switch (t.Type()) {
    case FT_PICTURE:
    case FT_TILE:
      AddPictureBlock(f, t, version);
      f.push_back({"file", &t.File});
      if (t.Type() == FT_TILE) {
        AddSizes(f, t);
        f.push_back({"start_scroll", &t.StartScroll});
        f.push_back({"end_scroll", &t.EndScroll});
        f.push_back({"ease_scroll_x", &t.EaseScrollX});
        f.push_back({"ease_scroll_y", &t.EaseScrollY});
        f.push_back({"distance", &t.Distance});
        if (version >= 101) AddClip(f, t.TileClip, true);
      }
      break;
    case FT_LABEL:
      AddPictureBlock(f, t, version);
      f.push_back({"text", &t.Text});
      f.push_back({"antialias", &t.Antialias});
      f.push_back({"font_name", &t.FontName});
      f.push_back({"font_height", &t.FontHeight});
      f.push_back({"line_space", &t.LineSpace});
      f.push_back({"font_style", &t.FontStyle});
      f.push_back({"font_color", &t.FontColor, true});
      if (version >= 103) f.push_back({"h_align", &t.HAlign});
      break;
    case FT_BOX:
      AddRectBlock(f, t);
      f.push_back({"start_alpha", &t.StartAlpha});
      f.push_back({"end_alpha", &t.EndAlpha});
      AddSizes(f, t);
      f.push_back({"start_color", &t.StartColor, true});
      f.push_back({"end_color", &t.EndColor, true});
      f.push_back({"start_border_width", &t.StartBorderWidth});
      f.push_back({"end_border_width", &t.EndBorderWidth});
      f.push_back({"start_border_color", &t.StartBorderColor, true});
      f.push_back({"end_border_color", &t.EndBorderColor, true});
      if (version >= 101) AddClip(f, t.Clip, false);
      break;
    case FT_FIRE:
      AddRectBlock(f, t);
      AddSizes(f, t);
      AddClip(f, t.Clip, false);
      f.push_back({"start_zoom_x", &t.StartZoomX});
      f.push_back({"start_zoom_y", &t.StartZoomY});
      f.push_back({"end_zoom_x", &t.EndZoomX});
      f.push_back({"end_zoom_y", &t.EndZoomY});
      f.push_back({"ease_zoom_x", &t.EaseZoomX});
      f.push_back({"ease_zoom_y", &t.EaseZoomY});
      f.push_back({"power", &t.Power});
      break;
    case FT_PARTICLE: {
      static const char* const kEmission[12] = {
          "interval_base_start", "interval_base_end", "interval_range_start", "interval_range_end",
          "x_base_start",        "y_base_start",      "x_base_end",           "y_base_end",
          "x_range_start",       "y_range_start",     "x_range_end",          "y_range_end"};
      static const char* const kStartParam[3] = {"start_param1", "start_param2", "start_param3"};
      static const char* const kEndParam[3] = {"end_param1", "end_param2", "end_param3"};
      f.push_back({"source", &t.File});
      f.push_back({"part_motion", &t.PartMotion});
      f.push_back({"index", &t.Index});
      for (int i = 0; i < 12; ++i) f.push_back({kEmission[i], &t.Emission[i]});
      f.push_back({"ease_x_base", &t.EaseXBase});
      f.push_back({"ease_y_base", &t.EaseYBase});
      for (int i = 0; i < 3; ++i) f.push_back({kStartParam[i], &t.StartParam[i]});
      for (int i = 0; i < 3; ++i) f.push_back({kEndParam[i], &t.EndParam[i]});
      AddRectBlock(f, t);
      AddSizes(f, t);
      AddClip(f, t.Clip, false);
      f.push_back({"start_alpha", &t.StartAlpha});
      f.push_back({"end_alpha", &t.EndAlpha});
      break;
    }
    case FT_WIPE:
      f.push_back({"wipe_type", &t.WipeType});
      if (version > 100) {
        f.push_back({"mask", &t.File});
        f.push_back({"wipe_param0", &t.WipeParam0});
        f.push_back({"wipe_param1", &t.WipeParam1});
        f.push_back({"reverse", &t.Reverse});
      }
      break;
    case FT_SOUND:
      f.push_back({"file", &t.File});
      f.push_back({"start_volume", &t.StartVolume});
      f.push_back({"end_volume", &t.EndVolume});
      f.push_back({"start_balance", &t.StartBalance});
      f.push_back({"end_balance", &t.EndBalance});
      f.push_back({"ease_volume", &t.EaseVolume});
      f.push_back({"ease_balance", &t.EaseBalance});
      break;
    default:
      break;
  }
  return f;
}

std::string FilmTracksProblem(const TFilmFile& film, size_t& track) {
  const size_t n = film.Tracks.size();
  for (size_t i = 0; i < n; ++i) {
    track = i;
    const TFilmTrack& t = film.Tracks[i];
    if (t.Type() >= kFilmTrackTypeCount) return TrackText(i) + " has an unknown type " + std::to_string(t.Type());
    if (t.Parent == -1) continue;
    if (t.Parent < -1 || static_cast<size_t>(t.Parent) >= n)
      return TrackText(i) + " has the parent " + std::to_string(t.Parent) + ", but the film has " +
             std::to_string(n) + " tracks";
    if (static_cast<size_t>(t.Parent) == i) return TrackText(i) + " is its own parent";
  }
  // Every parent index is valid: a chain longer than the track count runs in a circle.
  for (size_t i = 0; i < n; ++i) {
    size_t steps = 0;
    for (int32_t p = film.Tracks[i].Parent; p != -1; p = film.Tracks[static_cast<size_t>(p)].Parent) {
      if (++steps > n) {
        track = i;
        return TrackText(i) + " has parents forming a cycle";
      }
    }
  }
  return std::string();
}

bool IsFilmFile(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSignatureSize) return false;
  for (const char* s : kSignatures)
    if (!std::memcmp(bytes.data(), s, kSignatureSize)) return true;
  return false;
}

TFilmFile ReadFilmFile(std::span<const uint8_t> bytes, const std::string& name) {
  TFilmReader in(bytes, name);
  if (!IsFilmFile(bytes)) in.Fail("not a film (it starts with neither \"NovaMotion\" nor \"NovaCinema\")");
  TFilmFile film;
  film.Signature.assign(reinterpret_cast<const char*>(in.Take(kSignatureSize, "the signature")), kSignatureSize);
  const uint8_t* digits = in.Take(3, "the version");
  int version = 0;
  for (int i = 0; i < 3; ++i) {
    if (digits[i] < '0' || digits[i] > '9') in.Fail("the version is not three decimal digits");
    version = version * 10 + (digits[i] - '0');
  }
  if (version < kFilmOldestVersion || version > kFilmNewestVersion)
    in.Fail("version " + std::to_string(version) + " is not one of 100 to 108");
  film.Version = version;
  for (const TFilmField& f : FilmHeaderFields(film)) in.Field(f, "the header");
  int32_t count = in.Int32("the header (track count)");
  if (count < 0) in.Fail("the track count " + std::to_string(count) + " is negative");
  if (static_cast<uint64_t>(count) > in.Remaining() / kMinTrackBytes)
    in.Fail("the track count " + std::to_string(count) + " is more than the " + std::to_string(in.Remaining()) +
            " bytes left in the file can hold");
  film.Tracks.reserve(static_cast<size_t>(count));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    uint8_t typeByte = in.Byte(TrackText(i) + " (type)");
    int type = typeByte & 0x7F;
    if (type >= kFilmTrackTypeCount) in.Fail(TrackText(i) + " has an unknown type " + std::to_string(type));
    TFilmTrack t = NewFilmTrack(type, film.SceneSize.X, film.SceneSize.Y);
    t.TypeByte = typeByte;
    for (const TFilmField& f : FilmTrackFields(t, version)) in.Field(f, TrackText(i));
    film.Tracks.push_back(std::move(t));
  }
  size_t bad = 0;
  std::string problem = FilmTracksProblem(film, bad);
  if (!problem.empty()) in.Fail(problem);
  return film;
}

std::vector<uint8_t> WriteFilmFile(const TFilmFile& film) {
  if (film.Version < kFilmOldestVersion || film.Version > kFilmNewestVersion)
    RaiseError("film version " + std::to_string(film.Version) + " is not one of 100 to 108");
  if (film.Signature != kSignatures[0] && film.Signature != kSignatures[1])
    RaiseError("film signature \"" + film.Signature + "\" is neither \"NovaMotion\" nor \"NovaCinema\"");
  size_t bad = 0;
  std::string problem = FilmTracksProblem(film, bad);
  if (!problem.empty()) RaiseError("film: " + problem);
  if (film.Tracks.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) RaiseError("film: too many tracks");
  TFilmWriter out;
  for (char c : film.Signature) out.Byte(static_cast<uint8_t>(c));
  std::string version = std::to_string(film.Version);
  for (char c : version) out.Byte(static_cast<uint8_t>(c));
  TFilmFile header = film;
  header.Tracks.clear();
  for (const TFilmField& f : FilmHeaderFields(header)) out.Field(f);
  out.Int32(static_cast<int32_t>(film.Tracks.size()));
  for (const TFilmTrack& track : film.Tracks) {
    TFilmTrack t = track;
    out.Byte(t.TypeByte);
    for (const TFilmField& f : FilmTrackFields(t, film.Version)) out.Field(f);
  }
  return std::move(out.out);
}

TFilmPlayback PlaybackTracks(const TFilmFile& film) {
  const int v = film.Version;
  TFilmPlayback p;
  p.SceneSize = film.SceneSize;
  p.BackColor = film.BackColor;
  p.Relative = v > 101 && film.Relative != 0;
  p.DesignOrigin = v > 103 ? film.DesignOrigin : TPoint{};
  p.LoopStart = v > 105 ? (v <= 106 ? Doubled(film.LoopStart) : film.LoopStart) : 0;
  p.Tracks.reserve(film.Tracks.size());
  for (const TFilmTrack& stored : film.Tracks) {
    TFilmTrack t = stored;
    const int type = t.Type();
    if (v <= 106) {
      t.Start = Doubled(t.Start);
      t.Duration = Doubled(t.Duration);
      t.Cycle = Doubled(t.Cycle);
    }
    const bool pictureBlock = type == FT_PICTURE || type == FT_TILE || type == FT_LABEL;
    // Fields a version does not store play as a new track's values; zoom y follows zoom x.
    if (pictureBlock && v <= 100) t.Clip = TFilmClip{};
    if (type == FT_BOX && v < 101) t.Clip = TFilmClip{};
    if (pictureBlock && v < 105) {
      t.StartZoomY = t.StartZoomX;
      t.EndZoomY = t.EndZoomX;
      t.EaseZoomY = t.EaseZoomX;
    }
    if (type == FT_TILE && v >= 101) t.Clip = t.TileClip;
    if (type == FT_LABEL && v < 103) {
      t.LineSpace = 0;
      t.HAlign = 0;
    }
    if (type == FT_WIPE && v <= 100) {
      t.File.clear();
      t.WipeParam0 = t.WipeParam1 = 0;
      t.Reverse = 0;
    }
    if (type == FT_SOUND && v <= 107) {
      t.StartVolume = t.StartVolume / 10 + 1000;
      t.EndVolume = t.EndVolume / 10 + 1000;
    }
    p.Tracks.push_back(std::move(t));
  }
  return p;
}

std::string FilmFolder(const std::string& filmName) {
  size_t p = LastDelimiter(filmName, "\\/");
  return p == std::string::npos ? std::string() : filmName.substr(0, p + 1);
}

namespace {

bool KeptAsGiven(const std::string& name) { return (!name.empty() && name[0] == '\\') || (name.size() >= 2 && name[1] == ':'); }

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

// The folder cut into components, each with its trailing delimiter; a network prefix
// ("\\server\") or a drive ("C:\") is the first one. Trail bytes of double-byte characters
// are never taken for delimiters.
std::vector<std::string> FolderComponents(const std::string& folder) {
  std::vector<std::string> parts;
  size_t i = 0;
  if (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\') {
    i = 2;
    while (i < folder.size() && !(CharLen(folder, i) == 1 && IsDelimiter(folder[i]))) i += CharLen(folder, i);
    i = std::min(folder.size(), i + 1);
    parts.push_back(folder.substr(0, i));
  } else if (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') {
    i = 3;
    parts.push_back(folder.substr(0, 3));
  }
  size_t begin = i;
  while (i < folder.size()) {
    size_t len = CharLen(folder, i);
    i += len;
    if (len == 1 && IsDelimiter(folder[i - 1])) {
      parts.push_back(folder.substr(begin, i - begin));
      begin = i;
    }
  }
  if (begin < folder.size()) parts.push_back(folder.substr(begin));
  return parts;
}

}  // namespace

std::string ResolveFilmName(const std::string& folder, const std::string& name) {
  if (name.size() <= 1 || KeptAsGiven(name)) return name;
  if (name.compare(0, 3, "..\\") != 0) return folder + name;
  std::vector<std::string> parts = FolderComponents(UpperCaseAnsi(folder));
  size_t rest = 0;
  while (!parts.empty() && name.compare(rest, 3, "..\\") == 0) {
    parts.pop_back();
    rest += 3;
  }
  std::string out;
  for (const std::string& p : parts) out += p;
  return out + name.substr(rest);
}

std::string ResolveFilmMaskName(const std::string& folder, const std::string& name) {
  // An empty name means no mask: it must not turn into the folder's name.
  if (name.empty() || KeptAsGiven(name)) return name;
  return folder + name;
}

}  // namespace nova
