#pragma once
// A small game for the save tests: variable store, functions, a scene with the test object
// classes, a project started from pages written in the scenario language, and the save code
// on "save.dat" in a temporary folder. Two of these one after the other are two runs of a game.
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/page_compiler.h"
#include "base/process.h"
#include "objects/nova_cabinet.h"
#include "objects/object_fixtures.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/var_dump.h"
#include "saves/game_saves.h"
#include "scenario/call_man.h"
#include "scenario/page_format.h"
#include "scenario/project.h"
#include "scenario/project_file.h"
#include "support/page_builder.h"
#include "support/recording_dialogs.h"
#include "support/test_support.h"

namespace nova::test {

// A page in the scenario language (UTF-8) registered in the file manager.
inline void RegisterPage(const std::string& name, const std::string& source) {
  TPageFile page;
  source::CompilePageText(source, name, Utf8ToSjis(name), page);
  TKtMemoryStream m;
  WritePageFile(m, page);
  RegisterFile(Utf8ToSjis(name), m.Data());
}

inline void RegisterProject(const std::string& start, std::vector<TStatusVarDef> status = {}, bool writeStatus = true) {
  TProjectFile pf;
  pf.Name = "saves";
  pf.StartPage = start;
  pf.ScreenWidth = 64;
  pf.ScreenHeight = 48;
  pf.WriteStatus = writeStatus ? 1 : 0;
  pf.StatusVars = std::move(status);
  TKtMemoryStream m;
  WriteProjectFile(m, pf);
  RegisterFile("nova.npb", m.Data());
}

// A fresh game whose start page notes that it ran ("ran") and waits: the game a saved file is
// loaded into.
inline void RegisterWaitingGame() {
  FreshFileManager();
  FrameClock() = TFrameClock{};
  RegisterProject("start.nsb");
  RegisterPage("start.nsb", "Calc {}\nVarNew \"ran\" int {1}\nWait {} {} {}\n");
}

inline TStatusVarDef StatusInt(const std::string& name, int32_t value) {
  TStatusVarDef d;
  d.Type = PT_INT;
  d.Name = name;
  d.IntValue = value;
  return d;
}

// One run of the game. Frames go as the game runs them: input, interpreter, update, requests.
struct SavesGame {
  explicit SavesGame(const std::string& folder, bool create = true) {
    SetQuitting(false);
    ClearCloseRequest();
    store = std::make_unique<TParamCollection>();
    funcs = std::make_unique<TSysFuncMan>(*store);
    scene.factory.Register(LT_CABINET, [](TNovaBaseList& s) { return std::make_unique<TNovaCabinet>(&s); });
    saves = std::make_unique<TGameSaves>(*store, scene.scene, dialogs);
    TProjectOptions o;
    o.ExecutableFolder = folder;
    o.HadFolderParameters = true;
    o.StateStore = saves.get();
    project = std::make_unique<TProject>(*store, *funcs, scene.scene, dialogs, o);
    saves->SetProject(project.get());
    if (create) project->Create();
  }
  ~SavesGame() { End(); }
  // The window closes: the exit page, then the status data.
  void End() {
    project.reset();
    saves.reset();
  }

  bool Frame(uint32_t ms = 16) {
    FrameClock().LastDelta = ms;
    FrameClock().Total += ms;
    scene.scene.ProcessInput(ms);
    project->RunFrame();
    if (Quitting()) return false;  // as the game's frame: nothing more once the game ends
    scene.scene.UpdateScene(ms);
    return project->ServiceRequests();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }

  TCallMan& Cm() { return *project->CallMan(); }
  int32_t Int(const std::string& name) {
    TParamCollectionItem* item = store->FindParam(Utf8ToSjis(name));
    return item ? item->Param->GetAsInt() : -999999;
  }
  bool Has(const std::string& name) { return store->FindParam(Utf8ToSjis(name)) != nullptr; }

  // The variables as --dump-vars writes them, one line each, sorted (a load gives them back in
  // another order), without the named ones.
  std::vector<std::string> Vars(const std::vector<std::string>& without = {}) {
    std::ostringstream out;
    DumpVars(*store, out);
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
      bool skip = std::any_of(without.begin(), without.end(), [&](const std::string& n) {
        return line.find("\"name\": \"" + n + "\"") != std::string::npos;
      });
      if (!skip) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  std::string SceneBytes() {
    TKtMemoryStream m;
    scene.scene.SaveScene(m);
    return m.Data();
  }
  std::string InterpreterBytes() {
    TKtMemoryStream m;
    Cm().SaveState(m);
    return m.Data();
  }

  RecordingDialogs dialogs;
  std::unique_ptr<TParamCollection> store;
  std::unique_ptr<TSysFuncMan> funcs;
  SceneFixture scene;
  std::unique_ptr<TGameSaves> saves;
  std::unique_ptr<TProject> project;
};

}  // namespace nova::test
