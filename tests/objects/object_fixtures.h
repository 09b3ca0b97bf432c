#pragma once
// Small display objects and a 64 x 48 scene for the object-model tests: a control that fills
// its rectangle with its colour, a component with an idle event, and frames run by hand.
#include <memory>
#include <string>
#include <vector>

#include "objects/object_factory.h"
#include "objects/scene.h"
#include "render/dibx.h"
#include "support/scene_steps.h"

namespace nova::test {

class TestBox : public TNovaControl {
public:
  using TNovaControl::TNovaControl;
  uint8_t TypeCode() const override { return LT_BOX; }
  bool Paused() const override { return paused; }
  bool Update(uint32_t) override {
    ++updates;
    return scrap;
  }
  bool GetProperty(int id, TPropValue& v) override {
    switch (id) {
      case PR_PAUSED: v = TPropValue::OfFlag(paused); return true;
      case PR_ONIDLE: v = TPropValue::OfStr(onIdle); return true;
      case PR_FONTSTYLE: v = TPropValue::OfInt(fontStyle); return true;
      default: return TNovaControl::GetProperty(id, v);
    }
  }
  bool SetProperty(int id, const TPropValue& v) override {
    switch (id) {
      case PR_PAUSED: paused = v.Flag; return true;
      case PR_ONIDLE: onIdle = v.Str; return true;
      case PR_FONTSTYLE: fontStyle = v.Int; return true;
      default: return TNovaControl::SetProperty(id, v);
    }
  }
  void SaveToStream(TStream& s) override {
    TNovaControl::SaveToStream(s);
    s.WriteString(onIdle);
  }
  void LoadFromStream(TStream& s, int32_t version) override {
    TNovaControl::LoadFromStream(s, version);
    onIdle = s.ReadString();
  }

  bool paused = false, scrap = false;
  int updates = 0;
  int32_t fontStyle = 0;
  std::string onIdle;

protected:
  void PaintSelf(TCustomDIBX& s) override { s.FillRect(DrawnRect(), static_cast<uint32_t>(s.ColorToPixel(Color()))); }
};

class TestTimer : public TNovaComponent {
public:
  using TNovaComponent::TNovaComponent;
  uint8_t TypeCode() const override { return LT_TIMER; }
  bool Paused() const override { return paused; }
  bool Update(uint32_t) override {
    ++updates;
    return false;
  }
  bool GetProperty(int id, TPropValue& v) override {
    if (id == PR_ONIDLE) return v = TPropValue::OfStr(onIdle), true;
    if (id == PR_PAUSED) return v = TPropValue::OfFlag(paused), true;
    return false;
  }
  bool SetProperty(int id, const TPropValue& v) override {
    if (id == PR_ONIDLE) return onIdle = v.Str, true;
    if (id == PR_PAUSED) return paused = v.Flag, true;
    return false;
  }
  void SaveToStream(TStream& s) override {
    TNovaComponent::SaveToStream(s);
    s.WriteString(onIdle);
  }
  void LoadFromStream(TStream& s, int32_t version) override {
    TNovaComponent::LoadFromStream(s, version);
    onIdle = s.ReadString();
  }
  bool paused = false;
  int updates = 0;
  std::string onIdle;
};

struct SceneFixture {
  SceneFixture() {
    factory.Register(LT_BOX, [](TNovaBaseList& s) { return std::make_unique<TestBox>(&s); });
    factory.Register(LT_TIMER, [](TNovaBaseList& s) { return std::make_unique<TestTimer>(&s); });
    scene.SetFactory(&factory);
    scene.SetSize(64, 48);
    back.SetSize(64, 48, 32);
    scene.SetBackSurface(&back);
  }

  TestBox* Box(const std::string& name, int32_t l, int32_t t, int32_t w, int32_t h, TNovaControl* parent = nullptr,
               int32_t colour = 0) {
    TestBox* b = scene.Make<TestBox>();
    b->SetName(name);
    b->SetParent(parent ? parent : &scene.Displayed());
    b->SetBounds(l, t, w, h);
    b->SetColor(colour);
    return b;
  }

  // One frame: input, update, paint; the dirty lists are handed out and cleared.
  std::vector<TRect> Frame(uint32_t ms = 16) {
    std::vector<TRect> dirty;
    StepScene(scene, ms, &dirty);
    return dirty;
  }

  // The queued events as "sender:code(args)", in order.
  std::vector<std::string> Events() const { return QueuedEvents(scene); }

  TScreenMouseState& Mouse() { return scene.Input().Screens[scene.DisplayedIndex()]; }
  void MoveMouse(int32_t x, int32_t y) {
    Mouse().X = x, Mouse().Y = y, Mouse().Moved = true;
  }
  void PressLeft() {
    Mouse().LeftPressedNow = true;
    for (auto& m : scene.Input().Screens) m.LeftHeld = true;
  }
  void ReleaseButtons() {
    for (auto& m : scene.Input().Screens) m.LeftHeld = m.RightHeld = false;
  }

  TObjectFactory factory;
  TNovaBaseList scene;
  TDIBX back;
};

}  // namespace nova::test
