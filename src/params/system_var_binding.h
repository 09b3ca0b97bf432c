#pragma once
// What a system variable reads and writes outside the variable store. The subsystem that owns
// the state (the interpreter, the project, the scene's input, the window, media ...) binds its
// variables through the dispatcher when it is created and unbinds them when it goes; an
// unbound variable reads its empty value and ignores writes.
#include <cstdint>
#include <functional>
#include <string>

#include "base/extended.h"

namespace nova {

class TCustomParam;

struct TDateTimeParts {
  int Year = 1899, Month = 12, Day = 30, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

// Only the members of the variable's own type are used; `index` is the element of an array
// variable (-1: the whole value).
struct TSystemVarBinding {
  std::function<int32_t()> GetInt{};
  std::function<bool(int index)> GetFlag{};
  std::function<std::string(int index)> GetStr{};
  std::function<int()> Count{};                // array variables: their element count
  std::function<TCustomParam*()> Target{};     // @Result: the value it stands for
  std::function<void(int32_t)> SetInt{};
  std::function<void(bool)> SetFlag{};
  std::function<void(const std::string&)> SetStr{};
};

// The clocks the tick and date variables read (@TickCount, @PCTickCount, @UpdateCount, @Year ...).
struct TClockBinding {
  std::function<uint32_t()> Total{};      // the scenario clock
  std::function<uint32_t()> Timer{};      // the millisecond timer
  std::function<uint32_t()> Frames{};     // the frame counter
  std::function<TDateTimeParts()> Now{};  // the cached date and time
};

}  // namespace nova
