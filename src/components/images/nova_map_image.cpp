#include "components/images/nova_map_image.h"

#include <algorithm>
#include <exception>
#include <span>
#include <vector>

#include "archive/vrfiles.h"
#include "base/stream.h"
#include "components/lists/list_box_picture.h"
#include "objects/key_codes.h"
#include "objects/scene.h"
#include "params/param_collection.h"

namespace nova {

namespace {

constexpr int32_t kClosing = 100, kClosed = 101;

}  // namespace

TNovaMapImage::TNovaMapImage(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services), source_(services.Images), hover_(services.Images) {
  if (scene) scene->AddRightClickControl(this);
}

TNovaMapImage::~TNovaMapImage() = default;

// ---- sources ----

void TNovaMapImage::LoadFrames(TFrames& frames, const std::string& name) {
  frames.Source = name;
  frames.Working.clear();
  frames.BuiltFor.clear();
  frames.BuiltGeneration.clear();
  frames.List.Clear();
  if (!name.empty()) frames.List.Load(name, false, true);
  frames.Working.resize(static_cast<size_t>(frames.List.Count()));
  frames.BuiltFor.assign(static_cast<size_t>(frames.List.Count()), -1);
  frames.BuiltGeneration.assign(static_cast<size_t>(frames.List.Count()), 0);
}

void TNovaMapImage::SetSource(const std::string& name) {
  if (name == source_.Source) return;
  Invalidate();
  std::exception_ptr error;
  try {
    LoadFrames(source_, name);
  } catch (const std::exception&) {
    error = std::current_exception();
  }
  // The image takes the size of its first picture.
  const TBrioItem* item = source_.List.Item();
  const bool any = source_.List.Count() > 0;
  SetBounds(left_, top_, any ? item->Frames[0]->Surface.GetWidth() : 0,
            any ? item->Frames[0]->Surface.GetHeight() : 0);
  Invalidate();
  if (error) std::rethrow_exception(error);
}

void TNovaMapImage::SetHoverSource(const std::string& name) {
  if (name == hover_.Source) return;
  if (hovered_ >= 0) InvalidateRegion(hovered_);
  LoadFrames(hover_, name);
  if (hovered_ >= 0) InvalidateRegion(hovered_);
}

void TNovaMapImage::SetMapSource(const std::string& name) {
  if (name == mapSource_) return;
  mapSource_ = name;
  Invalidate();
  hovered_ = -1;
  regions_.clear();
  if (name.empty() || !services_.Files) return;
  const bool present = services_.CheckFile ? services_.CheckFile(name) : services_.Files->Exists(name);
  if (!present) return;
  TKtMemoryStream bytes;
  services_.Files->ReadFile(bytes, name);
  const std::string& data = bytes.Data();
  regions_ = ReadMapRegions(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()), data.size()), name);
}

// ---- regions ----

void TNovaMapImage::InvalidateRegion(int32_t region) {
  if (region < 0 || region >= static_cast<int32_t>(regions_.size()) || !Visible() || !Screen()) return;
  const TRect drawn = DrawnRect();
  // Cut to the picture before moving to the screen: a region may reach far beyond it.
  TRect r = Intersect(regions_[static_cast<size_t>(region)].Box(), TRect{0, 0, drawn.Width(), drawn.Height()})
                .Offset(drawn.Left, drawn.Top);
  if (TNovaControl* parent = Parent()) r = Intersect(r, parent->HitRect());
  if (clipWidth_ >= 1 && clipHeight_ >= 1) r = Intersect(r, ClipRect());
  if (!r.Empty()) InvalidateRect(r);
}

int32_t TNovaMapImage::RegionAt(TPoint mouse) {
  const TPoint p = Relative(mouse);
  for (size_t i = 0; i < regions_.size(); ++i)
    if (regions_[i].Contains(p)) return static_cast<int32_t>(i);
  return -1;
}

void TNovaMapImage::SetHoveredRegion(int32_t region) {
  if (region == hovered_) return;
  const int32_t old = hovered_;
  if (old >= 0) PostEventIfFree(PR_ONMAPOUT, {regions_[static_cast<size_t>(old)].Name, std::to_string(old)}, false);
  InvalidateRegion(old);
  hovered_ = region;
  hover_.List.Restart();
  InvalidateRegion(region);
  if (region >= 0)
    PostEventIfFree(PR_ONMAPIN, {regions_[static_cast<size_t>(region)].Name, std::to_string(region)}, false);
}

void TNovaMapImage::Select() {
  if (hovered_ < 0 || hovered_ >= static_cast<int32_t>(regions_.size())) return;
  const std::string& name = regions_[static_cast<size_t>(hovered_)].Name;
  if (services_.Store) {
    services_.Store->SelStr = name;
    services_.Store->SelIndex = hovered_;
  }
  PostEventIfFree(PR_ONSELECT, {name, std::to_string(hovered_)});
  if (autoScrap_) StartClosing();
}

void TNovaMapImage::ClearSelection() {
  if (!services_.Store) return;
  services_.Store->SelStr.clear();
  services_.Store->SelIndex = -1;
}

// ---- input ----

void TNovaMapImage::DoMouseMove(TPoint mouse) {
  if (ClosingOrClosed()) return;
  SetHoveredRegion(RegionAt(mouse));
  TNovaControl::DoMouseMove(mouse);
}

void TNovaMapImage::DoLButtonDown(TPoint mouse) {
  if (ClosingOrClosed()) return;
  if ((ignoreMouse_ == IM_NONE || ignoreMouse_ == IM_RCLICK) && !paused_) {
    // The press counts where it happens, also when no move brought the mouse there first.
    SetHoveredRegion(RegionAt(mouse));
    if (hovered_ >= 0) Select();
  }
  TNovaControl::DoLButtonDown(mouse);
}

void TNovaMapImage::FireKeyEvent(int code, const std::vector<int>& keys) {
  if (code == PR_ONKEYREPEAT && !ClosingOrClosed() && Scene()) {
    const TInputState& in = Scene()->Input();
    const int32_t count = static_cast<int32_t>(regions_.size());
    if (HasKey(keys, kKeyUp, kKeyLeft)) {
      if (count > 0) SetHoveredRegion(hovered_ <= 0 ? count - 1 : hovered_ - 1);
    } else if (HasKey(keys, kKeyDown, kKeyRight)) {
      if (count > 0) SetHoveredRegion(hovered_ < 0 || hovered_ >= count - 1 ? 0 : hovered_ + 1);
    } else if ((in.IsKeyPressedThisFrame(kKeyEnter) || in.IsKeyPressedThisFrame(kKeySpace)) && hovered_ >= 0) {
      Select();
    } else if (rightClickScrap_ && in.IsKeyPressedThisFrame(kKeyEscape)) {
      ClearSelection();
      StartClosing();
    }
  }
  TNovaControl::FireKeyEvent(code, keys);
}

bool TNovaMapImage::RightClickScrap() {
  if (ClosingOrClosed()) return false;
  if (ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_LCLICK) return false;
  closing_ = true;
  ClearSelection();
  StartClosing();
  return true;
}

bool TNovaMapImage::Update(uint32_t elapsedMs) {
  if (closingState_ == kClosing) {
    closing_ = true;
    closingState_ = kClosed;
    return false;
  }
  if (closingState_ == kClosed) return true;
  if (aniPaused_) return false;
  if (source_.List.StepLoop(elapsedMs)) Invalidate();
  if (hovered_ >= 0 && Visible() && hover_.List.StepLoop(elapsedMs)) InvalidateRegion(hovered_);
  return false;
}

// ---- drawing ----

TCustomDIBX* TNovaMapImage::WorkingMask(TFrames& frames, int index, bool inside) {
  TNovaImageData& data = frames.List.Data(index);
  TCustomDIBX* own = data.Mask();
  if (!own || hovered_ < 0 || hovered_ >= static_cast<int32_t>(regions_.size())) return own;
  const size_t i = static_cast<size_t>(index);
  const uint32_t generation = data.Frame().Generation;
  if (frames.Working[i] && frames.BuiltFor[i] == hovered_ && frames.BuiltGeneration[i] == generation)
    return frames.Working[i].get();
  if (!frames.Working[i]) frames.Working[i] = std::make_unique<TDIBX>();
  TDIBX& work = *frames.Working[i];
  const int32_t w = own->GetWidth(), h = own->GetHeight();
  work.SetSize(w, h, 8);
  const TMapRegion& region = regions_[static_cast<size_t>(hovered_)];
  const TRect box = Intersect(region.Box(), TRect{0, 0, w, h});
  // The hover picture shows only inside the region, the picture everywhere but there.
  if (inside) work.Fill(0);
  else work.Assign(own);
  std::vector<uint8_t> covered;
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    region.RowCoverage(y, box.Left, box.Right, covered);
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (covered[static_cast<size_t>(x - box.Left)]) work.SetPixel(x, y, inside ? own->GetPixel(x, y) : 0);
  }
  frames.BuiltFor[i] = hovered_;
  frames.BuiltGeneration[i] = generation;
  return &work;
}

void TNovaMapImage::DrawFrame(TCustomDIBX& d, TCustomDIBX* s, TCustomDIBX* m) {
  if (!s || s->IsEmpty()) return;
  const TRect drawn = DrawnRect();
  DrawPicturePart(d, drawn.Left, drawn.Top, TRect{0, 0, s->GetWidth(), s->GetHeight()}, s, m,
                  std::min(alpha_, kMaxBlend));
}

void TNovaMapImage::PaintSelf(TCustomDIBX& d) {
  if (alpha_ < 1 || width_ < 1 || height_ < 1) return;
  if (source_.List.Count() > 0) {
    const int index = source_.List.Index;
    DrawFrame(d, source_.List.Data(index).Prepare(brightness_), WorkingMask(source_, index, false));
  }
  if (hovered_ >= 0 && hover_.List.Count() > 0) {
    const int index = hover_.List.Index;
    DrawFrame(d, hover_.List.Data(index).Prepare(brightness_), WorkingMask(hover_, index, true));
  }
}

// ---- properties ----

bool TNovaMapImage::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_.Source); return true;
    case PR_HOVERSOURCE: v = TPropValue::OfStr(hover_.Source); return true;
    case PR_MAPSOURCE: v = TPropValue::OfStr(mapSource_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(true); return true;
    case PR_BRIGHTNESS: v = TPropValue::OfInt(brightness_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_RCLICKSCRAP: v = TPropValue::OfFlag(rightClickScrap_); return true;
    case PR_ONSELECT: v = TPropValue::OfStr(onSelect_); return true;
    case PR_ONMAPIN: v = TPropValue::OfStr(onMapIn_); return true;
    case PR_ONMAPOUT: v = TPropValue::OfStr(onMapOut_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaMapImage::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_HOVERSOURCE: SetHoverSource(v.Str); return true;
    case PR_MAPSOURCE: SetMapSource(v.Str); return true;
    case PR_ALPHA:
      if (v.Int != alpha_) alpha_ = v.Int, Invalidate();
      return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_REPEAT: return true;  // always loops
    case PR_BRIGHTNESS:
      if (v.Int != brightness_) brightness_ = v.Int, Invalidate();
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_RCLICKSCRAP: rightClickScrap_ = v.Flag; return true;
    case PR_ONSELECT: onSelect_ = v.Str; return true;
    case PR_ONMAPIN: onMapIn_ = v.Str; return true;
    case PR_ONMAPOUT: onMapOut_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- record ----

void TNovaMapImage::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(source_.Source);
  s.WriteString(hover_.Source);
  s.WriteString(mapSource_);
  s.WriteInt32(alpha_);
  s.WriteInt32(brightness_);
  s.WriteString(onMapIn_);
  s.WriteString(onMapOut_);
  s.WriteByte(autoScrap_);
  s.WriteByte(rightClickScrap_);
  s.WriteString(onIdle_);
  s.WriteByte(paused_);
  s.WriteString(onSelect_);
  s.WriteInt32(closingState_);
}

void TNovaMapImage::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  const std::string source = s.ReadString();
  const std::string hover = s.ReadString();
  const std::string map = s.ReadString();
  alpha_ = s.ReadInt32();
  brightness_ = s.ReadInt32();
  onMapIn_ = s.ReadString();
  onMapOut_ = s.ReadString();
  autoScrap_ = s.ReadByte() != 0;
  rightClickScrap_ = s.ReadByte() != 0;
  if (version > 103) {
    onIdle_ = s.ReadString();
    paused_ = s.ReadByte() != 0;
    onSelect_ = s.ReadString();
  }
  if (version > 114) closingState_ = s.ReadInt32();
  closing_ = closingState_ == kClosed;
  // Files that can no longer be read leave the image without them rather than failing the load.
  auto quietly = [](auto&& load) {
    try {
      load();
    } catch (const std::exception&) {
    }
  };
  quietly([&] { SetSource(source); });
  quietly([&] { SetHoverSource(hover); });
  quietly([&] { SetMapSource(map); });
}

}  // namespace nova
