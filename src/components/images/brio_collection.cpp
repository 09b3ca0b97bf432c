#include "components/images/brio_collection.h"

#include <algorithm>
#include <span>

#include "archive/vrfiles.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "components/component_services.h"
#include "formats/brios.h"
#include "formats/image_open.h"
#include "formats/surface_loader.h"
#include "objects/scene.h"

namespace nova {

namespace {

constexpr int kMissingSide = 8;

// The frame record at index i, created when the item has fewer.
TBrioItemFrame& FrameAt(std::vector<std::unique_ptr<TBrioItemFrame>>& frames, size_t i) {
  if (i >= frames.size()) frames.push_back(std::make_unique<TBrioItemFrame>());
  return *frames[i];
}

}  // namespace

TBrioCollection::TBrioCollection(const TComponentServices& services) : services_(services) {}

TBrioCollection::~TBrioCollection() = default;

std::string TBrioCollection::CacheKey(const std::string& file, bool keepOffsets, bool makeMasks) {
  std::string key = file;
  if (makeMasks) key += "?m";
  if (keepOffsets) key += "?t";
  return key;
}

TBrioItem* TBrioCollection::FindImage(const std::string& key) const { return static_cast<TBrioItem*>(Find(key)); }

TBrioItem* TBrioCollection::AcquireImage(const void* user, const std::string& file, bool keepOffsets,
                                          bool makeMasks) {
  const std::string key = CacheKey(file, keepOffsets, makeMasks);
  TBrioItem* item = file.empty() ? nullptr : FindImage(key);
  if (!item) {
    auto fresh = std::make_unique<TBrioItem>();
    fresh->FileName = file;
    fresh->KeepOffsets = keepOffsets;
    fresh->MakeMasks = makeMasks;
    Decode(*fresh);  // raises before the item joins the cache
    item = static_cast<TBrioItem*>(Add(std::move(fresh), key));
  }
  if (std::find(item->Users.begin(), item->Users.end(), user) == item->Users.end()) item->Users.push_back(user);
  return item;
}

void TBrioCollection::ReleaseImage(const void* user) {
  for (int i = Count() - 1; i >= 0; --i) {
    TBrioItem* item = Image(i);
    auto it = std::find(item->Users.begin(), item->Users.end(), user);
    if (it == item->Users.end()) continue;
    item->Users.erase(it);
    if (item->Users.empty()) Delete(i);
  }
}

void TBrioCollection::Decode(TBrioItem& item) {
  ++decodes_;
  const std::string& name = item.FileName;
  const bool present = !name.empty() && services_.Files &&
                       (services_.CheckFile ? services_.CheckFile(name) : services_.Files->Exists(name));
  item.Missing = !present;
  item.TotalDuration = 0;
  if (!present) {
    TBrioItemFrame& f = FrameAt(item.Frames, 0);
    f.Surface.SetSize(kMissingSide, kMissingSide, bits_);
    f.Surface.Fill(0);
    f.Surface.Transparent = 0;
    f.TransparentColor = -1;
    f.HasMask = item.MakeMasks;
    if (f.HasMask) {
      f.MaskSurface.SetSize(kMissingSide, kMissingSide, 8);
      f.MaskSurface.Fill(0);
    }
    f.Duration = 1;
    f.OffsetX = f.OffsetY = 0;
    ++f.Generation;
    item.Width = item.Height = kMissingSide;
    item.TotalDuration = 1;
    return;
  }
  TKtMemoryStream bytes;
  services_.Files->ReadFile(bytes, name);
  const std::string& data = bytes.Data();
  TBrioFrameList list(services_.ImageKey);
  TBrioLoadOptions options;
  options.MakeMasks = item.MakeMasks;
  LoadImageByExtension(list, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()), data.size()),
                       name, options);
  for (int i = 0; i < list.Count(); ++i) {
    TBrioFrame& src = list.Frame(i);
    TBrioItemFrame& f = FrameAt(item.Frames, static_cast<size_t>(i));
    f.Surface.SetSize(1, 1, bits_);
    CopyFrameToSurface(src, f.Surface);
    f.TransparentColor = src.TransparentColor;
    f.Surface.Transparent = f.Surface.ColorToPixel(src.TransparentColor);
    f.HasMask = src.HasMask();
    if (f.HasMask) {
      f.MaskSurface.SetSize(src.MaskSurface->GetWidth(), src.MaskSurface->GetHeight(), 8);
      f.MaskSurface.Assign(src.MaskSurface.get());
    }
    f.Duration = src.Delay <= 0 ? 1 : src.Delay;
    f.OffsetX = f.OffsetY = 0;
    if (item.KeepOffsets && !src.Layers.empty()) f.OffsetX = src.Layers[0].OffsetX, f.OffsetY = src.Layers[0].OffsetY;
    ++f.Generation;
    item.TotalDuration += f.Duration;
  }
  if (item.Frames.empty()) {
    item.Width = item.Height = 0;
  } else {
    item.Width = item.Frames[0]->Surface.GetWidth();
    item.Height = item.Frames[0]->Surface.GetHeight();
  }
}

void TBrioCollection::Rebuild() {
  for (int i = 0; i < Count(); ++i) {
    // A file that can no longer be read keeps the pictures it had.
    try {
      Decode(*Image(i));
    } catch (const std::exception&) {
    }
  }
}

void TBrioCollection::SetDither(bool on) {
  if (on == dither_) return;
  dither_ = on;
  Rebuild();
  if (!scene_) return;
  for (int i = 0; i < 2; ++i)
    scene_->GetScreen(i).AddDirtyRect(TRect{0, 0, scene_->ScreenWidth(), scene_->ScreenHeight()});
}

void TBrioCollection::ReleaseImageSurfaces() {
  for (int i = 0; i < Count(); ++i)
    for (auto& f : Image(i)->Frames) {
      f->Surface.ClearSurface();
      f->MaskSurface.ClearSurface();
      ++f->Generation;
    }
}

void TBrioCollection::RestoreImageSurfaces() { Rebuild(); }

void TBrioCollection::DropImage(const std::string& file) {
  for (int i = 0; i < Count(); ++i) {
    TBrioItem* item = Image(i);
    if (!item->Name().empty() && SameText(item->FileName, file)) SetItemName(item, std::string());
  }
}

}  // namespace nova
