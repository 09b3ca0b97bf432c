#include "scenario/commands_menu.h"

#include "objects/scene.h"
#include "scenario/call_man.h"

namespace nova {

void TComMenuClose::Execute(TCallMan& cm) {
  TNovaObject* object = cm.Scene().FindObject(EvalStr(menu_.get(), cm));
  // Without the menu the index stays; the interpreter ends its pass on a command that does not
  // move on, so the command is tried again in the next frame rather than within this one.
  if (!object || object->TypeCode() != LT_MENU || !object->IsControl()) return;
  static_cast<TNovaControl*>(object)->SetMenuState(3);
  cm.Next();
}

}  // namespace nova
