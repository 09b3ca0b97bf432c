#pragma once
// The tracks of a film (TCustomFrameList and its kinds) and their cells. A track holds its
// record as the player uses it (frames at 60 per second, see PlaybackTracks); a chained track
// takes every start value from its parent's end value, so a chain forms one animation.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "formats/film_file.h"
#include "objects/nova_object.h"

namespace nova {

class TCustomDIBX;
class TFilmManager;
class TNovaControl;
class TNovaBaseList;

// ---- cells ----
class TCustomFrame {
public:
  virtual ~TCustomFrame() = default;
};

// One frame of a cached layered image (the cache entry lives as long as the track).
class TImageFrame : public TCustomFrame {
public:
  TCustomDIBX* Surface = nullptr;
  TCustomDIBX* Mask = nullptr;
  int32_t Index = 0;  // the frame's index in the layered image
  int32_t Width = 0, Height = 0;
  int32_t OffsetX = 0, OffsetY = 0;
  int32_t Duration = 1;  // frames
};
// The placeholder cell of box, transition, particle and fire tracks.
class TBoxFrame : public TCustomFrame {};
class TLabelFrame : public TCustomFrame {};
class TSoundFrame : public TCustomFrame {};

// A clip as the tracks write it: (0, 0, 0, 0) is no clipping.
struct TFilmClipValue {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  friend bool operator==(const TFilmClipValue&, const TFilmClipValue&) = default;
};

// A rectangle as the tracks write it: its place and size (kept inside 32 bits).
struct TFilmRect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// ---- the track base ----
class TCustomFrameList {
public:
  explicit TCustomFrameList(TFilmManager& film);
  virtual ~TCustomFrameList();
  TCustomFrameList(const TCustomFrameList&) = delete;
  TCustomFrameList& operator=(const TCustomFrameList&) = delete;

  virtual int TrackType() const = 0;
  TFilmManager& Film() const { return film_; }
  const TFilmTrack& Data() const { return data_; }

  // The display object the track created (null in control mode, before creation, or once the
  // object is gone).
  virtual TNovaObject* GetObject() const;
  virtual bool TrackPaused() const { return false; }
  virtual void SetTrackPaused(bool /*paused*/) {}
  // The file the track uses, resolved against the film's folder.
  const std::string& GetFileName() const { return fileName_; }
  virtual void SetFileName(const std::string& name) { fileName_ = name; }
  virtual int32_t CellWidth() const { return 0; }
  virtual int32_t CellHeight() const { return 0; }

  int32_t Duration() const { return data_.Duration; }
  int32_t Start() const { return data_.Start; }
  int32_t Cycle() const { return cycle_; }
  int32_t Priority() const { return data_.Priority; }
  bool FlipH() const { return data_.FlipH != 0; }
  bool FlipV() const { return data_.FlipV != 0; }
  bool OtherScreen() const { return data_.OtherScreen != 0; }
  TCustomFrameList* Parent() const { return parent_; }
  // The chain is fixed once the film is loaded: the manager links parents and successors
  // and records every absolute start.
  void Link(TCustomFrameList* parent) { parent_ = parent; }
  void SetSuccessor(TCustomFrameList* successor) { successor_ = successor; }
  void SetAbsoluteStart(int32_t start) { absoluteStart_ = start; }
  // The start when there is no parent, otherwise the parent's absolute start + its duration.
  int32_t AbsoluteStart() const { return absoluteStart_; }
  // The first track of the film whose parent is this one.
  TCustomFrameList* Successor() const { return successor_; }
  // The first track of the chain this track belongs to.
  TCustomFrameList* ChainFirst();
  // The frame after the track's last one.
  int64_t End() const { return int64_t{absoluteStart_} + data_.Duration; }

  int CellCount() const { return static_cast<int>(cells_.size()); }
  TCustomFrame& Cell(int i) const { return *cells_[static_cast<size_t>(i)]; }

  // ---- operations ----
  virtual void ClearCells() { cells_.clear(); }
  // The cell shown t frames after the absolute start (-1 when there is none).
  virtual int32_t CellAt(int32_t /*t*/) const { return 0; }
  // Clears the created object's name and marks it for deletion.
  virtual void FreeObject();
  // Brings the track into the state of frame n; true when n lies inside the track.
  virtual bool ShowAt(int32_t n) = 0;
  // Takes the track's record (in playback form); file names are resolved against folder.
  virtual void ReadTrack(const TFilmTrack& track, const std::string& folder);
  virtual void LoadResources() {}

  // The easings over this track (a track with a successor lasts one frame longer, so its end
  // value is reached only on the successor's first frame).
  int32_t Interpolate(int ease, int32_t from, int32_t to, int32_t t) const;
  double InterpolateReal(int ease, double from, double to, int32_t t) const;

protected:
  // The start and end positions, moved by the film's relative shift.
  TPoint StartPosition() const;
  TPoint EndPosition() const;
  // A start value: the parent's end value in a chain, else the stored start value.
  template <class T>
  T StartOf(T TFilmTrack::*start, T TFilmTrack::*end) const {
    return parent_ ? parent_->data_.*end : data_.*start;
  }
  const TFilmClip& StartClip() const { return parent_ ? parent_->data_.Clip : data_.Clip; }
  bool Chained() const { return parent_ != nullptr; }
  TFilmClipValue ClipAt(int32_t t) const;
  // The rectangle of box, tile and particle tracks at frame t: the corners interpolated
  // (a stored rectangle runs from (x, y) to (x + width - 1, y + height - 1)).
  TFilmRect RectAt(int32_t t) const;
  int32_t AlphaAt(int32_t t) const;
  // The driven control's priority in control mode: its own (recorded by the motion) plus the
  // track's, kept inside 32 bits.
  int32_t DrivenPriority() const;
  // In control mode, the driven control; else the created object when it is a control.
  TNovaControl* Target() const;
  // Outside control mode: makes the object when it is missing. Returns it (may be null).
  TNovaObject* EnsureObject();
  virtual TNovaObject* CreateObject() { return nullptr; }
  // Registers a new object of the film's scene under a system name.
  void Adopt(TNovaObject* object, TNovaBaseList* scene);
  // The parent of a created control: the anchor, or in scene mode the track's screen.
  void PlaceObject(TNovaControl& control) const;
  // Common to the tracks with an object per track: outside the track the object goes.
  bool Outside(int32_t n) const { return n < absoluteStart_ || int64_t{n} >= End(); }

  TFilmManager& film_;
  TFilmTrack data_;
  std::string fileName_;
  int32_t cycle_ = 0;
  TCustomFrameList* parent_ = nullptr;
  TCustomFrameList* successor_ = nullptr;
  int32_t absoluteStart_ = 0;
  std::vector<std::unique_ptr<TCustomFrame>> cells_;
  TObjectRef object_;
  TNovaBaseList* objectScene_ = nullptr;
};

// Makes the track object of a type code (null for a code without a track kind).
std::unique_ptr<TCustomFrameList> MakeFrameList(int type, TFilmManager& film);

// Films run at 60 frames per second.
constexpr double kFilmFrameMs = 16.666666666666668;

// What the tracks write into the objects they drive.
namespace track {
inline void SetInt(TNovaObject& o, int id, int32_t v) { o.SetProperty(id, TPropValue::OfInt(v)); }
inline void SetFlag(TNovaObject& o, int id, bool v) { o.SetProperty(id, TPropValue::OfFlag(v)); }
inline void SetClip(TNovaObject& o, const TFilmClipValue& clip) {
  SetInt(o, PR_CLIPLEFT, clip.Left);
  SetInt(o, PR_CLIPTOP, clip.Top);
  SetInt(o, PR_CLIPWIDTH, clip.Width);
  SetInt(o, PR_CLIPHEIGHT, clip.Height);
}
}  // namespace track

}  // namespace nova
