#pragma once
// The system variables of the displayed screen's mouse and of the keyboard (@LClick,
// @RClick, @LPush, @RPush, @MouseX, @MouseY, @KeyPush, @KeyClick, @KeyRepeat, @WheelDown,
// @WheelUp), bound to the scene's input. Writing @MouseX or @MouseY moves the system cursor
// through moveCursor (x, y in screen coordinates, the other axis unchanged).
#include <functional>

#include "objects/input_state.h"
#include "params/sysfunc.h"

namespace nova {

using TMoveCursor = std::function<void(int32_t x, int32_t y)>;

void RegisterInputVariables(TSysFuncMan& funcs, TInputState& input, TMoveCursor moveCursor);
void UnregisterInputVariables(TSysFuncMan& funcs);

}  // namespace nova
