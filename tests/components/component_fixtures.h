#pragma once
// A 64 x 48 headless scene with the real component classes: a memory archive for the game's
// files, the image cache, the variable store with its functions, the glyph cache on the
// headless rasteriser, and layered images written by the formats writer. Frames are run by
// hand (input, update, paint), as the game does.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/stream.h"
#include "components/images/brio_collection.h"
#include "components/component_services.h"
#include "components/register_components.h"
#include "formats/brio_writer.h"
#include "objects/object_factory.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"
#include "platform/headless_fonts.h"
#include "render/dibx.h"
#include "support/scene_steps.h"
#include "text/font_pixels.h"

namespace nova::test {

// One frame of a written layered image: colour 0x00RRGGBB per pixel, optional 8-bit mask.
struct BriFrame {
  int32_t Width = 4, Height = 4;
  std::function<uint32_t(int, int)> Color = [](int, int) { return 0xFF0000u; };
  std::function<uint8_t(int, int)> Mask;  // none when empty
  int32_t Delay = 100;
};

inline BriFrame Solid(int32_t w, int32_t h, uint32_t rgb, int32_t delay = 100) {
  BriFrame f;
  f.Width = w, f.Height = h, f.Delay = delay;
  f.Color = [rgb](int, int) { return rgb; };
  return f;
}

inline std::string BriBytes(const std::vector<BriFrame>& frames, int32_t key = 0) {
  std::vector<TBrioBitmap> colours, masks;
  colours.reserve(frames.size());
  masks.reserve(frames.size());
  std::vector<TBrioWriteFrame> out;
  for (const BriFrame& f : frames) {
    TBrioBitmap& c = colours.emplace_back(f.Width, f.Height, 24);
    TBrioBitmap& m = masks.emplace_back();
    for (int y = 0; y < f.Height; ++y)
      for (int x = 0; x < f.Width; ++x) c.SetPixel(x, y, f.Color(x, y));
    if (f.Mask) {
      m.Allocate(f.Width, f.Height, 8);
      for (int y = 0; y < f.Height; ++y)
        for (int x = 0; x < f.Width; ++x) m.SetPixel(x, y, f.Mask(x, y));
    }
    TBrioWriteFrame w;
    w.Delay = f.Delay;
    w.Color = &c;
    w.Mask = f.Mask ? &m : nullptr;
    out.push_back(w);
  }
  TBrioWriteOptions options;
  options.Key = key;
  TKtMemoryStream s;
  WriteBrio(s, out, options);
  return s.Data();
}

struct ComponentScene {
  ComponentScene() : files(false), cache(services), funcs(store), glyphs(fonts) {
    files.AddMemoryArchive();
    services.Files = &files;
    services.Store = &store;
    services.Funcs = &funcs;
    services.Glyphs = &glyphs;
    services.Images = &cache;
    cache.SetScene(&scene);
    RegisterComponentClasses(factory, services);
    scene.SetFactory(&factory);
    scene.SetSize(64, 48);
    back.SetSize(64, 48, 32);
    scene.SetBackSurface(&back);
  }

  void AddFile(const std::string& name, const std::string& bytes) {
    files.Archive(0)->AddMemoryFile(name)->Memory->Assign(bytes);
  }

  // An object of a type code on the displayed screen, named, with properties applied by number.
  template <class T = TNovaObject>
  T* Create(int type, const std::string& name, const std::vector<std::pair<int, TPropValue>>& props = {},
            TNovaControl* parent = nullptr) {
    TNovaObject* o = scene.CreateObject(type);
    o->SetName(name);
    if (o->IsControl()) static_cast<TNovaControl*>(o)->SetParent(parent ? parent : &scene.Displayed());
    for (const auto& [id, v] : props) WriteProperty(*o, id, v);
    o->EndInit();
    return dynamic_cast<T*>(o);
  }

  // One frame: input, update, paint; the dirty rectangles are handed out and cleared.
  std::vector<TRect> Frame(uint32_t ms = 16) {
    std::vector<TRect> dirty;
    StepScene(scene, ms, &dirty);
    return dirty;
  }

  std::vector<std::string> Events() const { return QueuedEvents(scene); }
  void ClearEvents() { scene.Events().Clear(); }

  TScreenMouseState& Mouse() { return scene.Input().Screens[scene.DisplayedIndex()]; }
  void MoveMouse(int32_t x, int32_t y) { Mouse().X = x, Mouse().Y = y, Mouse().Moved = true; }
  void PressLeft() {
    Mouse().LeftPressedNow = true;
    for (auto& m : scene.Input().Screens) m.LeftHeld = true;
  }
  void PressRight() {
    Mouse().RightPressedNow = true;
    for (auto& m : scene.Input().Screens) m.RightHeld = true;
  }
  void Release() {
    for (auto& m : scene.Input().Screens) m.LeftHeld = m.RightHeld = false;
  }

  uint32_t Px(int x, int y) { return back.GetPixel(x, y); }

  TVrFileManager files;
  TComponentServices services;
  TBrioCollection cache;
  TParamCollection store;
  TSysFuncMan funcs;
  THeadlessFontRasterizer fonts;
  TFontPixelManager glyphs;
  TObjectFactory factory;
  TNovaBaseList scene;
  TDIBX back;
};

inline TPropValue Int(int32_t v) { return TPropValue::OfInt(v); }
inline TPropValue Flag(bool v) { return TPropValue::OfFlag(v); }
inline TPropValue Str(const std::string& v) { return TPropValue::OfStr(v); }

}  // namespace nova::test
