#pragma once
// The steps of start-up, of a frame and of teardown that belong to the scenario, scene,
// media and rendering subsystems. The main window calls them in its fixed order; each does
// nothing by default, so the window runs (empty) before those subsystems are connected.
#include <cstdint>
#include <string>

#include "app/game_ini.h"
#include "app/input_state.h"
#include "app/options.h"
#include "platform/window.h"

namespace nova {

class TFormView;
class TPlatform;

// What start-up decided before the window opens.
struct TStartupInfo {
  TPlayerOptions Options;
  TGameSettings Settings;
  std::string GameFolder;  // UTF-8: where game.ini, novaplay.log and (by default) save.dat live
  std::string SaveDir;     // UTF-8 folder of save.dat
  bool HadFolderParameters = false;  // games given as folders (not an executable / own archive)
  bool Headless = false;
};

class TGameHooks {
public:
  virtual ~TGameHooks() = default;

  // Window creation and Initialize, in this order. Attach comes first: the main window (for
  // TAppEnvironment, full screen, the mouse) and the platform (clock, shell) stay valid until
  // the teardown has run.
  virtual void Attach(TFormView& /*view*/, TPlatform& /*platform*/) {}
  virtual void Configure(const TStartupInfo&) {}
  virtual void SeedRandom(uint32_t /*millisecondsSinceMidnight*/) {}
  virtual void CreateVariableStore() {}  // the variable store and the system function dispatcher
  virtual void InitSound(bool /*useDirectSound*/) {}  // errors are ignored
  virtual void CreateDisplaySystem() {}
  virtual void CreateProject() {}  // may set the quitting flag; errors end start-up
  virtual bool HasProject() { return false; }
  virtual int32_t ProjectWidth() { return 640; }
  virtual int32_t ProjectHeight() { return 480; }
  virtual std::string ProjectName() { return std::string(); }  // Shift-JIS
  virtual bool SleepFlag() { return false; }
  virtual void StartMedia(int /*width*/, int /*height*/) {}
  virtual void SetSceneSize(int /*width*/, int /*height*/) {}

  // Frame steps.
  virtual void ProcessInput(TInputState& input) { input.BeginFrame(); }
  virtual bool HasSplash() { return false; }  // no splash: the interpreter runs from the first frame
  virtual bool SplashStep() { return true; }  // true once the splash is done
  virtual void RunInterpreter() {}
  virtual void UpdateScene() {}
  virtual bool ServiceRequests() { return false; }  // true when a game load was carried out
  virtual void PaintScene(TPicture& /*panel*/) {}  // draws and presents into the panel picture

  // Activation and the full-screen switch.
  virtual void SuspendMedia() {}
  virtual void ResumeMedia() {}
  virtual void ClearKeys() {}
  virtual void ReleaseSurfaces() {}
  virtual void ReloadSurfaces() {}

  // Teardown, in this order.
  virtual void DestroyProject() {}  // runs the exit page and writes the status data first
  virtual void DestroySystemFunctions() {}
  virtual void DestroyVariableStore() {}
  virtual void DestroyDisplaySystem() {}
  virtual void FinalizeMedia() {}

  // The process's exit code once the window has closed (non-zero: the game could not start).
  virtual int ExitCode() { return 0; }
};

}  // namespace nova
