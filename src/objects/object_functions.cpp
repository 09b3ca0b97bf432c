#include "objects/object_functions.h"

#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/sysfunc_call.h"

namespace nova {
namespace {

constexpr const char* kFunctions[] = {"GetProp",  "SetProp",   "Exists",    "ListCompo", "ToClientX",
                                      "ToClientY", "ToScreenX", "ToScreenY", "InPrimary"};

// The coordinate functions give the coordinate unchanged when the name finds no control.
void RegisterCoordinate(TSysFuncMan& funcs, TNovaBaseList& scene, const char* name, bool toScreen, bool horizontal) {
  funcs.Register(FindSysFunc(name), [&scene, toScreen, horizontal](TSysFuncCall& c) {
    const int32_t v = c.Int(1);
    TNovaObject* object = scene.FindObject(c.Str(0));
    if (!object || !object->IsControl()) {
      c.ResultInt(v);
      return;
    }
    auto* control = static_cast<TNovaControl*>(object);
    const int32_t origin = horizontal ? control->ScreenLeft() : control->ScreenTop();
    c.ResultInt(toScreen ? v + origin : v - origin);
  });
}

}  // namespace

void RegisterObjectFunctions(TSysFuncMan& funcs, TNovaBaseList& scene) {
  funcs.Register(FindSysFunc("GetProp"), [&scene](TSysFuncCall& c) {
    if (TNovaObject* object = scene.FindObject(c.Str(0))) GetPropById(*c.Dest, *object, c.Int(1));
  });
  funcs.Register(FindSysFunc("SetProp"), [&scene](TSysFuncCall& c) {
    if (TNovaObject* object = scene.FindObject(c.Str(0))) SetPropById(*object, c.Int(1), c.Arg(2));
  });
  funcs.Register(FindSysFunc("Exists"), [&scene](TSysFuncCall& c) { c.ResultBool(scene.ObjectExists(c.Str(0))); });
  funcs.Register(FindSysFunc("ListCompo"), [&scene](TSysFuncCall& c) {
    int type = c.Has(1) ? (c.Int(1) & 0xFF) : 0;
    if (type >= 28) type = 0;
    const TNovaControl* parent = nullptr;
    std::vector<std::string> names;
    bool parentFound = true;
    if (c.Has(2)) {
      parent = scene.FindControl(c.Str(2));
      parentFound = parent != nullptr;
    }
    // A parent name that finds no control has no children to list.
    if (parentFound) scene.ListObjects(names, type == 0 ? -1 : type, parent);
    TCustomParam& out = c.OutWhole(0);
    if (names.empty()) {
      out.SetCount(1);
      out.SetAsStr(std::string());
    } else {
      out.SetDims({static_cast<int32_t>(names.size())});
      for (size_t i = 0; i < names.size(); ++i) out.SetStrAt(static_cast<int>(i), names[i]);
    }
    c.ResultInt(static_cast<int32_t>(names.size()));
  });
  RegisterCoordinate(funcs, scene, "ToClientX", false, true);
  RegisterCoordinate(funcs, scene, "ToClientY", false, false);
  RegisterCoordinate(funcs, scene, "ToScreenX", true, true);
  RegisterCoordinate(funcs, scene, "ToScreenY", true, false);
  funcs.Register(FindSysFunc("InPrimary"), [&scene](TSysFuncCall& c) {
    const std::string name = c.Str(0);
    TNovaControl* control = name.empty() ? nullptr : scene.FindControl(name);
    c.ResultBool(control && control->Screen() == &scene.Displayed() && !control->InCabinet());
  });
}

void UnregisterObjectFunctions(TSysFuncMan& funcs) {
  for (const char* f : kFunctions) funcs.Register(FindSysFunc(f), nullptr);
}

}  // namespace nova
