#pragma once
// The system variables of the scene's input and key focus: the displayed screen's mouse
// (@LClick, @RClick, @LPush, @RPush, @MouseX, @MouseY, @WheelDown, @WheelUp), the keyboard
// (@KeyPush, @KeyClick, @KeyRepeat) and @ActiveCompo. Writing @MouseX or @MouseY moves the
// system cursor through moveCursor (x, y in screen coordinates, the other axis unchanged).
#include <functional>

#include "params/sysfunc.h"

namespace nova {

class TNovaBaseList;

using TMoveCursor = std::function<void(int32_t x, int32_t y)>;

void RegisterInputVariables(TSysFuncMan& funcs, TNovaBaseList& scene, TMoveCursor moveCursor);
void UnregisterInputVariables(TSysFuncMan& funcs);

}  // namespace nova
