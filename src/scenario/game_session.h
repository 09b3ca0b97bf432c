#pragma once
// One running game: the variable store, the system function dispatcher, the event queue and
// the project, with the frame steps the main loop calls, the trace file and the variable dump
// at exit. Teardown order: the project (exit page, status data), then the dispatcher, then
// the store.
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "objects/event_queue.h"
#include "params/environment.h"
#include "scenario/project.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;

struct TGameSessionOptions {
  TProjectOptions Project;
  std::string TraceFile;     // local path (UTF-8); empty: no trace
  std::string DumpVarsFile;  // local path (UTF-8); empty: no dump
  // Install the scenario part of the system variables' environment process-wide. The player
  // may instead stack TScenarioEnvironmentT over its own environment and install that.
  bool InstallEnvironment = true;
};

class TGameSession {
public:
  explicit TGameSession(TGameSessionOptions options);
  ~TGameSession();  // Finish when not done yet
  TGameSession(const TGameSession&) = delete;
  TGameSession& operator=(const TGameSession&) = delete;

  // Creates the project (start-up). Afterwards the caller checks Quitting().
  void Start();
  void RunInterpreter();    // the frame's interpreter pass
  bool ServiceRequests();   // after the objects update: true when a game was loaded
  // Frees the project (running the exit page and writing the status data), then writes the
  // variable dump. Idempotent.
  void Finish();

  TParamCollection& Store() { return *store_; }
  TSysFuncMan& Funcs() { return *funcs_; }
  TEventQueue& Events() { return events_; }
  TProject* Project() { return project_.get(); }
  // A trace sink that receives Shift-JIS lines (the trace file, when set, gets them in UTF-8).
  void SetTraceSink(TTraceSink sink);
  void DumpVars(std::ostream& out);

private:
  void WriteTrace(const std::string& line);

  TGameSessionOptions options_;
  std::unique_ptr<TParamCollection> store_;
  std::unique_ptr<TSysFuncMan> funcs_;
  TEventQueue events_;
  std::unique_ptr<TProject> project_;
  std::unique_ptr<TSystemEnvironment> environment_;
  std::ofstream traceFile_;
  TTraceSink extraSink_;
  bool finished_ = false;
};

}  // namespace nova
