#pragma once
// What the system variables and functions read and change outside the variable store: the
// frame clock, input state, the interpreter's call, the project, the game's file space and
// the desktop. Each later subsystem fills the part it owns by overriding these operations;
// the defaults give the empty values the player shows while a subsystem is absent.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/extended.h"
#include "base/stream.h"

namespace nova {

class TCustomParam;

struct TDateTimeParts {
  int Year = 1899, Month = 12, Day = 30, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

class TSystemEnvironment {
public:
  virtual ~TSystemEnvironment() = default;

  // Clocks (frame clock of the main loop).
  virtual uint32_t TotalMilliseconds() { return 0; }
  virtual uint32_t TimerMilliseconds() { return 0; }  // @PCTickCount
  virtual uint32_t FrameCount() { return 0; }
  // The cached date-time, refreshed once per elapsed millisecond count.
  virtual TDateTimeParts CachedDateTime() { return {}; }

  // Interpreter (the running call).
  virtual TCustomParam* ResultValue() { return nullptr; }  // top frame's result, or none
  virtual int ArgCount() { return 0; }
  virtual std::string Arg(int) { return std::string(); }
  virtual std::string SenderName() { return std::string(); }

  // Project.
  virtual int32_t ScreenWidth() { return 0; }
  virtual int32_t ScreenHeight() { return 0; }
  virtual std::string Title() { return std::string(); }
  virtual std::string GetSaveCaption(int32_t) { return std::string(); }
  virtual std::vector<std::pair<std::string, int32_t>> SaveCaptions() { return {}; }

  // Game file space.
  virtual bool FileExists(const std::string&) { return false; }
  virtual bool ReadGameFile(const std::string&, TKtMemoryStream&) { return false; }
  virtual void ListFolder(const std::string&, std::vector<std::string>&) {}
  virtual bool PromptDisk(const std::string&) { return false; }  // bring in the file's disk

  // Input of the displayed screen (until the scene exists these read false / 0).
  virtual bool LeftClick() { return false; }
  virtual void SetLeftClick(bool) {}
  virtual bool RightClick() { return false; }
  virtual void SetRightClick(bool) {}
  virtual bool LeftPush() { return false; }
  virtual bool RightPush() { return false; }
  virtual int32_t MouseX() { return 0; }
  virtual int32_t MouseY() { return 0; }
  virtual void SetMouseX(int32_t) {}
  virtual void SetMouseY(int32_t) {}
  virtual bool KeyHeld(int) { return false; }
  virtual bool KeyPressedThisFrame(int) { return false; }
  virtual bool KeyRepeatThisFrame(int) { return false; }
  virtual bool WheelDown() { return false; }
  virtual bool WheelUp() { return false; }

  // Screen and settings.
  virtual bool FullScreen() { return false; }
  virtual void SetFullScreen(bool) {}
  virtual int32_t DisplayModeCount() { return 0; }
  virtual int32_t DisplayModeIndex() { return -1; }
  virtual void SetDisplayModeIndex(int32_t) {}
  virtual bool SoundOn() { return true; }
  virtual void SetSoundOn(bool) {}
  virtual bool CGDither() { return false; }
  virtual void SetCGDither(bool) {}
  virtual std::string ActiveCompo() { return std::string(); }
  virtual void SetActiveCompo(const std::string&) {}
  virtual std::string Fonts(bool /*fixedOnly*/) { return std::string(); }
  virtual std::string MidiPort() { return std::string(); }
  virtual void SetMidiPort(const std::string&) {}
  virtual std::vector<std::string> MidiPorts() { return {}; }
  virtual int32_t HistoryCount() { return 0; }
  virtual int32_t HistoryMaxCount() { return 0; }
  virtual void SetHistoryMaxCount(int32_t) {}
  // Saved games of some older versions carry six settings of the default history format
  // after the variables; the history takes them.
  virtual void SetDefaultHistorySettings(const std::array<int32_t, 6>&) {}
};

// The process-wide environment; a default one that answers the empty values until the
// player installs its own.
TSystemEnvironment& Environment();
void SetEnvironment(TSystemEnvironment* env);  // nullptr restores the default

}  // namespace nova
