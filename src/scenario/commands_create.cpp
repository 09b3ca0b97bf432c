#include "scenario/commands_create.h"

#include <vector>

#include "objects/nova_control.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/property_table.h"
#include "scenario/call_man.h"

namespace nova {
namespace {

// What a command does with its new object besides the properties.
enum class TAfterCreate : uint8_t {
  Nothing,
  PlayWhenDelayed,  // Movie, Sound: play state 1 when PR_DELAY is not 0
  OpenMenu,         // Menu: state 1 opens it
};

struct TCreationRow {
  int Command;
  uint8_t TypeCode;
  // Properties whose expression the object gets a copy of, to evaluate itself when it needs
  // the value (an image's frame delay, a particle emitter's start position).
  std::vector<int> Handed;
  TAfterCreate After = TAfterCreate::Nothing;
};

const std::vector<TCreationRow>& CreationTable() {
  static const std::vector<TCreationRow> rows = {
      {8, LT_BOX, {}},
      {9, LT_IMAGES, {PR_DELAY}},
      {10, LT_MES, {}},
      {11, LT_TIMER, {}},
      {12, LT_VIDEO, {}, TAfterCreate::PlayWhenDelayed},
      {23, LT_CINEMA, {}},
      {24, LT_LABEL, {}},
      {25, LT_MENU, {}, TAfterCreate::OpenMenu},
      {30, LT_BUTTON, {}},
      {36, LT_PARTICLE, {PR_APPEARX, PR_APPEARY, PR_DELAY}},
      {37, LT_FIRE, {}},
      {42, LT_SOUND, {}, TAfterCreate::PlayWhenDelayed},
      {43, LT_EDIT, {}},
      {44, LT_MEMO, {}},
      {48, LT_MAPIMG, {}},
      {49, LT_WAVE, {}},
      {50, LT_TILE, {}},
      {51, LT_SLIDER, {}},
      {52, LT_SCROLLBAR, {}},
      {53, LT_GAUGE, {}},
      {54, LT_CGLABEL, {}},
      {56, LT_PREVMENU, {}},
  };
  return rows;
}

const TCreationRow* RowOf(int commandCode) {
  for (const TCreationRow& row : CreationTable())
    if (row.Command == commandCode) return &row;
  return nullptr;
}

TPropValue InPropertyType(TCustomParam& v, uint8_t type) {
  switch (type) {
    case PT_INT: return TPropValue::OfInt(v.GetAsInt());
    case PT_BOOL: return TPropValue::OfFlag(v.GetAsBool());
    case PT_FLOAT: return TPropValue::OfFloat(v.GetAsFloat());
    default: return TPropValue::OfStr(v.GetAsStr());
  }
}

}  // namespace

const std::array<int, kPropertyCount>& CreationOrder() {
  static const std::array<int, kPropertyCount> order = [] {
    std::array<int, kPropertyCount> o{};
    size_t n = 0;
    auto one = [&](int id) { o[n++] = id; };
    auto span = [&](int first, int last) {
      for (int id = first; id <= last; ++id) one(id);
    };
    for (int id : {0, 1, 2, 7, 132, 100, 5, 6, 3, 4, 8, 157}) one(id);
    span(9, 14);
    one(159), one(160);
    span(15, 24);
    span(153, 156);
    span(25, 29);
    one(162);
    span(30, 79);
    one(161);
    span(80, 99);
    span(101, 131);
    span(133, 152);
    one(158);
    return o;
  }();
  return order;
}

TPropValue CreationDefault(int id) {
  switch (id) {
    case PR_ZOOMX:
    case PR_ZOOMY:
    case PR_TEXTDELAY: return TPropValue::OfInt(256);
    case PR_COLOR:
    case PR_BORDERCOLOR:
    case PR_HOVERCOLOR: return TPropValue::OfInt(-1);
    case PR_ALPHA: return TPropValue::OfInt(255);
    case PR_FONTHEIGHT: return TPropValue::OfInt(16);
    case PR_VOLUME: return TPropValue::OfInt(1000);
    case PR_WAVELEN: return TPropValue::OfInt(100);
    case PR_COLCOUNT:
    case PR_ROWCOUNT:
    case PR_AMP:
    case PR_SMALLCHANGE:
    case PR_LARGECHANGE:
    case PR_GLYPHWIDTH:
    case PR_GLYPHHEIGHT: return TPropValue::OfInt(1);
    case PR_VISIBLE:
    case PR_OVERLAY: return TPropValue::OfFlag(true);
    default: break;
  }
  switch (PropertyType(id)) {
    case PT_BOOL: return TPropValue::OfFlag(false);
    case PT_FLOAT: return TPropValue::OfFloat(0);
    case PT_STR: return TPropValue::OfStr(std::string());
    default: return TPropValue::OfInt(0);
  }
}

uint8_t CreatedTypeCode(int commandCode) {
  const TCreationRow* row = RowOf(commandCode);
  return row ? row->TypeCode : static_cast<uint8_t>(LT_NONE);
}

void ApplyCreationProperties(TNovaObject& object, const TComComponent& record, TCallMan& cm) {
  TNovaBaseList& scene = cm.Scene();
  for (int id : CreationOrder()) {
    const bool carried = record.HasProp(id);
    if (id == PR_PARENT) {
      // Every new control gets a parent, the displayed screen unless one is named.
      if (!object.IsControl()) continue;
      auto& control = static_cast<TNovaControl&>(object);
      TNovaControl* parent = carried ? scene.FindControl(EvalStr(record.Prop(id), cm)) : nullptr;
      control.SetParent(parent ? parent : &scene.Displayed());
      // Naming itself as parent is refused like any cycle; the new control still gets a place.
      if (!control.Parent()) control.SetParent(&scene.Displayed());
      continue;
    }
    // The particle start positions have no setter: the emitter got their expressions.
    if (!carried || id == PR_APPEARX || id == PR_APPEARY) continue;
    TCustomParam* value = Evaluate(record.Prop(id), cm);
    if (id == PR_NAME) {
      std::string name = value ? value->GetAsStr() : std::string();
      if (!name.empty()) object.SetName(name);
      continue;
    }
    WriteProperty(object, id, value ? InPropertyType(*value, PropertyType(id)) : CreationDefault(id));
  }
}

void TComComponent::Execute(TCallMan& cm) {
  cm.Next();
  const TCreationRow* row = RowOf(Code());
  if (!row) return;
  // A class whose maker is not registered creates nothing.
  TNovaObject* object = cm.Scene().CreateObject(row->TypeCode);
  if (!object) return;
  for (int id : row->Handed) {
    TNovaParser* expr = Prop(id);
    if (!expr) continue;
    auto copy = std::make_shared<TNovaParser>();
    copy->Assign(*expr);
    object->TakeExpression(id, std::move(copy));
  }
  ApplyCreationProperties(*object, *this, cm);
  switch (row->After) {
    case TAfterCreate::PlayWhenDelayed:
      if (ReadProperty(*object, PR_DELAY).Int != 0) object->SetPlayState(1);
      break;
    case TAfterCreate::OpenMenu:
      if (object->IsControl()) static_cast<TNovaControl*>(object)->SetMenuState(1);
      break;
    case TAfterCreate::Nothing: break;
  }
  object->EndInit();
}

}  // namespace nova
