#pragma once
// The interpreter with its store, scene and host, as the scenario tests drive it.
#include <memory>
#include <string>
#include <vector>

#include "base/process.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "scenario/call_man.h"
#include "support/page_builder.h"

namespace nova::test {

// Checks reachability through the file manager and records the requests.
class TestHost : public TScenarioHost {
public:
  bool CheckFile(const std::string& name) override { return FileManager().Exists(name); }
  void RequestSave(int32_t slot, const std::string& page, int32_t index, const std::string& caption) override {
    SaveSlot = slot;
    SavePage = page;
    SaveIndex = index;
    SaveCaption = caption;
  }
  void RequestLoad(int32_t slot) override { LoadSlot = slot; }
  void ResetGame() override { ++Resets; }
  TNovaHistoryFormatManager* HistoryFormats() override { return History; }
  TNovaReadList* ReadMarks() override { return Marks; }
  TNovaHistoryFormatManager* History = nullptr;
  TNovaReadList* Marks = nullptr;
  int32_t SaveSlot = -1, SaveIndex = -1, LoadSlot = -1;
  std::string SavePage, SaveCaption;
  int Resets = 0;
};

// Store, dispatcher, scene, host and interpreter, with frames of a fixed length.
struct Machine {
  Machine();
  ~Machine();
  void Frame(uint32_t deltaMs = 16);
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  int32_t Int(const std::string& name);
  std::string Str(const std::string& name);
  bool Has(const std::string& name);

  // Registers a component of that name in the scene (an event sender that exists).
  TNovaObject* AddObject(const std::string& name);
  // The object of that name as an event sender; a component of that name is registered first
  // when there is none.
  TEventSender Sender(const std::string& name);

  std::unique_ptr<TParamCollection> store;
  std::unique_ptr<TSysFuncMan> funcs;
  TNovaBaseList scene;
  TEventQueue& events = scene.Events();
  TestHost host;
  std::unique_ptr<TCallMan> cm;
  std::vector<std::string> trace;
};

}  // namespace nova::test
