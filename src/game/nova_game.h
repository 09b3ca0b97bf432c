#pragma once
// TNovaGame: the composition root. It owns every subsystem of a running game in the order
// they are created (variable store, system function dispatcher, scene, project) and tears
// them down in the fixed order; each subsystem registers its own system functions and
// variables when it is created.
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "components/component_services.h"
#include "game/game.h"
#include "objects/object_factory.h"
#include "platform/platform.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;
class TNovaBaseList;
class TProject;
class TDIBX;
class TFontPixelManager;
class TBrioCollection;
class TGameSaves;
class TMesPictureSource;
class TNovaHistoryFormatManager;
class TNovaReadList;
class TScenarioTexts;
class TMediaSystem;
class TSplash;

struct TGameConfig {
  std::filesystem::path GameFolder;  // where the game runs from (install.dat, game.dat, save.dat)
  std::filesystem::path SaveDir;     // the folder of save.dat (empty: the game folder)
  bool HadFolderParameters = false;  // games given as folders (no data-disk search)
  bool UseDirectSound = true;        // "game.ini" [Sound] DirectSound
  int32_t DelayTime = 500;           // [Sound] DelayTime
  bool UseWMP = false;               // [Video] UseWMP
  std::filesystem::path TraceFile;     // the interpreter's trace (empty: none)
  std::filesystem::path DumpVarsFile;  // the variables at exit (empty: none)
  // The film the window plays before the game's first page (empty: no splash).
  std::vector<uint8_t> SplashFilm;
};

// Exit codes beyond 0 (a normal end).
constexpr int kExitStartupFailed = 1;
constexpr int kExitGameDataMissing = 3;

class TNovaGame : public TGame {
public:
  TNovaGame(TPlatform& platform, TGameConfig config);
  ~TNovaGame() override;

  void Create(TGameHost& host) override;
  bool Running() const override;
  int32_t ScreenWidth() const override;
  int32_t ScreenHeight() const override;
  std::string Title() const override;
  bool SleepFlag() const override;
  TInputState& Input() override;
  bool Frame() override;
  std::vector<TRect> Paint(TPicture& panel) override;
  void Suspend() override;
  void Resume() override;
  void Shutdown() override;
  std::string FailureReason() const override;
  int ExitCode() const override;

  TParamCollection* Store() { return store_.get(); }
  TSysFuncMan* Funcs() { return funcs_.get(); }
  TNovaBaseList* Scene() { return scene_.get(); }
  TProject* Project() { return project_.get(); }
  // Saving and loading; its Sections are where the history, read marks, dither flag and data
  // tables plug in.
  TGameSaves* Saves() { return saves_.get(); }
  // Message history formats (game save) and read marks (status data).
  TNovaHistoryFormatManager* History() { return history_.get(); }
  TNovaReadList* ReadMarks() { return readMarks_.get(); }
  TMediaSystem* Media() { return media_.get(); }
  // The start-up splash while it plays, else null.
  TSplash* Splash() { return splash_.get(); }
  void DumpVars(std::ostream& out);

private:
  void CreateVariableStore();
  void RegisterWindowVariables();
  void WriteTrace(const std::string& line);
  void ShowCursorFile(const std::string& file);
  void StartMedia();

  TPlatform& platform_;
  TGameConfig config_;
  TGameHost* host_ = nullptr;
  std::unique_ptr<TParamCollection> store_;
  std::unique_ptr<TSysFuncMan> funcs_;
  TObjectFactory factory_;
  TComponentServices services_;
  std::unique_ptr<TFontPixelManager> glyphs_;
  std::unique_ptr<TBrioCollection> images_;  // outlives the scene, whose images use it
  std::unique_ptr<TNovaBaseList> scene_;
  std::unique_ptr<TGameSaves> saves_;  // outlives the project, which writes the status data
  std::unique_ptr<TScenarioTexts> texts_;
  std::unique_ptr<TMesPictureSource> historyPictures_;
  std::unique_ptr<TNovaHistoryFormatManager> history_;
  std::unique_ptr<TNovaReadList> readMarks_;
  std::unique_ptr<TProject> project_;
  std::vector<std::filesystem::path> writtenFiles_;  // SaveScreen with mode 1
  std::unique_ptr<TMediaSystem> media_;
  std::unique_ptr<TSplash> splash_;
  std::unique_ptr<TDIBX> backSurface_;  // the scene's view of the panel picture
  const uint32_t* panelBits_ = nullptr;
  TInputState idleInput_;  // written by the window before the scene exists
  std::ofstream traceFile_;
  std::string failure_;
  bool missingData_ = false;
  int32_t displayModeIndex_ = -1;
  bool shutDown_ = false;
};

}  // namespace nova
