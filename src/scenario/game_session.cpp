#include "scenario/game_session.h"

#include "base/encoding.h"
#include "base/error.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/var_dump.h"
#include "scenario/scenario_environment.h"

namespace nova {

TGameSession::TGameSession(TGameSessionOptions options) : options_(std::move(options)) {
  store_ = std::make_unique<TParamCollection>();
  funcs_ = std::make_unique<TSysFuncMan>(*store_);
  project_ = std::make_unique<TProject>(*store_, *funcs_, events_, options_.Project);
  if (!options_.TraceFile.empty()) {
    traceFile_.open(options_.TraceFile, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!traceFile_) RaiseError(Format("%s: cannot write the trace file", options_.TraceFile.c_str()));
  }
  project_->SetTraceSink([this](const std::string& line) { WriteTrace(line); });
  if (options_.InstallEnvironment) {
    environment_ = std::make_unique<TScenarioEnvironment>(*project_);
    SetEnvironment(environment_.get());
  }
}

TGameSession::~TGameSession() {
  try {
    Finish();
  } catch (const std::exception&) {
    // Teardown goes on.
  }
}

void TGameSession::WriteTrace(const std::string& line) {
  if (traceFile_.is_open()) {
    traceFile_ << SjisToUtf8(line) << '\n';
  }
  if (extraSink_) extraSink_(line);
}

void TGameSession::SetTraceSink(TTraceSink sink) { extraSink_ = std::move(sink); }

void TGameSession::Start() { project_->Create(); }

void TGameSession::RunInterpreter() {
  if (project_) project_->RunFrame();
}

bool TGameSession::ServiceRequests() { return project_ ? project_->ServiceRequests() : false; }

void TGameSession::DumpVars(std::ostream& out) { nova::DumpVars(*store_, out); }

void TGameSession::Finish() {
  if (finished_) return;
  finished_ = true;
  project_.reset();  // exit page, status data
  if (environment_) {
    SetEnvironment(nullptr);
    environment_.reset();
  }
  if (!options_.DumpVarsFile.empty()) {
    std::ofstream out(options_.DumpVarsFile, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out) RaiseError(Format("%s: cannot write the variable dump", options_.DumpVarsFile.c_str()));
    DumpVars(out);
  }
  traceFile_.close();
  funcs_.reset();
}

}  // namespace nova
