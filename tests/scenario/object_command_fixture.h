#pragma once
// The interpreter with a scene that has a test object factory, a back surface and frames that
// update and paint, for the object, cabinet and Flip commands. Recording objects log what the
// creation commands do to them.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "objects/nova_cabinet.h"
#include "objects/object_factory.h"
#include "objects/property_access.h"
#include "render/dibx.h"
#include "scenario_test_util.h"

namespace nova::test {

// What happened to a recording object, in order: "take:26", "set:3", "play:1", "menu:1", "end".
struct CreationLog {
  std::vector<std::string> Steps;
  std::map<int, TPropValue> Values;             // the last value each setter got
  std::map<int, std::shared_ptr<TNovaParser>> Taken;
  std::string NameAtFirstSet = "?";             // the object's name when the first setter ran
  std::string ParentAtFirstSet = "?";
};

// A control that fills its rectangle with its colour and logs the creation steps.
class RecordingControl : public TNovaControl {
public:
  RecordingControl(TNovaBaseList* scene, uint8_t type) : TNovaControl(scene), type_(type) {}
  uint8_t TypeCode() const override { return type_; }
  bool GetProperty(int id, TPropValue& v) override {
    if (id == PR_DELAY) return v = TPropValue::OfInt(delay), true;
    return TNovaControl::GetProperty(id, v);
  }
  bool SetProperty(int id, const TPropValue& v) override {
    if (Log.Steps.empty() || Log.NameAtFirstSet == "?") {
      Log.NameAtFirstSet = Name();
      Log.ParentAtFirstSet = Parent() ? Parent()->Name() : "-";
    }
    Log.Steps.push_back("set:" + std::to_string(id));
    Log.Values[id] = v;
    if (id == PR_DELAY) delay = v.Int;
    return TNovaControl::SetProperty(id, v);
  }
  void TakeExpression(int id, std::shared_ptr<TNovaParser> e) override {
    Log.Steps.push_back("take:" + std::to_string(id));
    Log.Taken[id] = std::move(e);
  }
  void SetPlayState(int32_t s) override { Log.Steps.push_back("play:" + std::to_string(s)); }
  void SetMenuState(int32_t s) override { Log.Steps.push_back("menu:" + std::to_string(s)); }
  void EndInit() override { Log.Steps.push_back("end"); }

  CreationLog Log;
  int32_t delay = 0;

protected:
  void PaintSelf(TCustomDIBX& s) override {
    if (Color() >= 0) s.FillRect(DrawnRect(), static_cast<uint32_t>(s.ColorToPixel(Color())));
  }

private:
  uint8_t type_;
};

// A component (sound, timer) that logs the same way.
class RecordingComponent : public TNovaComponent {
public:
  RecordingComponent(TNovaBaseList* scene, uint8_t type) : TNovaComponent(scene), type_(type) {}
  uint8_t TypeCode() const override { return type_; }
  bool GetProperty(int id, TPropValue& v) override {
    if (id == PR_DELAY) return v = TPropValue::OfInt(delay), true;
    return false;
  }
  bool SetProperty(int id, const TPropValue& v) override {
    Log.Steps.push_back("set:" + std::to_string(id));
    Log.Values[id] = v;
    if (id == PR_DELAY) delay = v.Int;
    return id == PR_DELAY;
  }
  void SetPlayState(int32_t s) override { Log.Steps.push_back("play:" + std::to_string(s)); }
  void EndInit() override { Log.Steps.push_back("end"); }

  CreationLog Log;
  int32_t delay = 0;

private:
  uint8_t type_;
};

// A property-carrying command: the page's property set for the code gains the ids; the ids
// map to expression texts ("" is an empty expression). Extra fields (cabinets) follow.
inline int PropsCommand(PageBuilder& b, int code, const std::vector<std::pair<int, std::string>>& props,
                        std::vector<TFieldValue> extra = {}) {
  TFieldValue f;
  f.Kind = TFieldKind::Properties;
  std::string& record = b.File().PropSetRecords[static_cast<size_t>(code)];
  for (const auto& [id, text] : props) {
    record[static_cast<size_t>(id / 8)] = static_cast<char>(record[static_cast<size_t>(id / 8)] | (1 << (id % 8)));
    f.Props[static_cast<size_t>(id)] = CompileExpr(text);
  }
  SyncPropSets(b.File());
  std::vector<TFieldValue> fields;
  fields.push_back(std::move(f));
  for (auto& e : extra) fields.push_back(std::move(e));
  return b.Add(code, 0, std::move(fields));
}

// Flip's fields in record order.
// Fields left out of a designated initializer stay empty.
struct FlipFields {
  std::string kind{}, time{}, reverse{}, mode{};
  std::vector<std::string> patterns{};
  std::string clear{}, param1{}, param2{}, text{}, block{};
};
inline int FlipCmd(PageBuilder& b, const FlipFields& f, uint8_t cont = 1) {
  std::vector<TFieldValue> v;
  v.push_back(FExpr(f.kind));
  v.push_back(FExpr(f.time));
  v.push_back(FExpr(f.reverse));
  v.push_back(FExpr(f.mode));
  v.push_back(FExprs(f.patterns));
  v.push_back(FExpr(f.clear));
  v.push_back(FExpr(f.param1));
  v.push_back(FExpr(f.param2));
  v.push_back(FExpr(f.text));
  v.push_back(FExpr(f.block));
  return b.Add(13, 0, std::move(v), cont);
}

// A command whose fields are all expressions (GetProp's variable name aside).
inline int ExprCommand(PageBuilder& b, int code, const std::vector<std::string>& exprs) {
  std::vector<TFieldValue> v;
  for (const std::string& e : exprs) v.push_back(FExpr(e));
  return b.Add(code, 0, std::move(v));
}

enum ObjectCode { kBoxNew = 8, kImgNew = 9, kMesNew = 10, kTimerCmd = 11, kMovie = 12, kFlip = 13, kGetProp = 17,
                  kSetProp = 18, kObjDel = 19, kMenu = 25, kParticleNew = 36, kSound = 42, kPCReset = 40,
                  kSaveCabinet = 59, kLoadCabinet = 60 };

// A 64 x 48 scene with the recording classes for boxes, images, movies, menus, particles,
// sounds and timers (message boxes have no maker), and cabinets; frames as the game runs them.
struct ObjectMachine : Machine {
  ObjectMachine() {
    for (uint8_t type : {LT_BOX, LT_IMAGES, LT_VIDEO, LT_MENU, LT_PARTICLE})
      factory.Register(type, [type](TNovaBaseList& s) { return std::make_unique<RecordingControl>(&s, type); });
    for (uint8_t type : {LT_SOUND, LT_TIMER})
      factory.Register(type, [type](TNovaBaseList& s) { return std::make_unique<RecordingComponent>(&s, type); });
    factory.Register(LT_CABINET, [](TNovaBaseList& s) { return std::make_unique<TNovaCabinet>(&s); });
    scene.SetFactory(&factory);
    scene.SetSize(64, 48);
    back.SetSize(64, 48, 32);
    scene.SetBackSurface(&back);
  }
  ~ObjectMachine() { scene.SetBackSurface(nullptr); }
  // Input, one interpreter pass, update, paint; the dirty lists are cleared as the game does.
  void PaintedFrame(uint32_t ms = 16) {
    scene.ProcessInput(ms);
    Frame(ms);
    scene.UpdateScene(ms);
    scene.PaintScene();
    scene.ClearDirty();
  }
  template <class T = RecordingControl>
  T* Find(const std::string& name) {
    return dynamic_cast<T*>(scene.FindObject(Utf8ToSjis(name)));
  }
  // The names of a control's children in drawing order.
  static std::vector<std::string> Names(const TNovaControl& c) {
    std::vector<std::string> out;
    for (const TNovaControl* child : c.Children()) out.push_back(child->Name());
    return out;
  }
  // The trace lines of failed commands.
  std::vector<std::string> Errors() const {
    std::vector<std::string> out;
    for (const std::string& line : trace)
      if (line.find("!error") != std::string::npos) out.push_back(line);
    return out;
  }

  TObjectFactory factory;
  TDIBX back;
};

}  // namespace nova::test
