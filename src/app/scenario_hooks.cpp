#include "app/scenario_hooks.h"

#include <cstdio>

#include "app/app_environment.h"
#include "base/encoding.h"
#include "base/process.h"
#include "params/sysfunc.h"
#include "platform/platform.h"
#include "scenario/game_session.h"
#include "scenario/scenario_environment.h"

namespace nova {
namespace {

class TScenarioHooks : public TGameHooks {
public:
  ~TScenarioHooks() override { DestroyVariableStore(); }

  void Attach(TFormView& view, TPlatform& platform) override {
    view_ = &view;
    platform_ = &platform;
  }
  void Configure(const TStartupInfo& info) override { info_ = info; }
  void SeedRandom(uint32_t msSinceMidnight) override { SetRandomSeed(msSinceMidnight); }

  void CreateVariableStore() override {
    TGameSessionOptions options;
    options.Project.ExecutableFolder = info_.GameFolder;
    options.Project.SaveFolder = info_.SaveDir;
    options.Project.HadFolderParameters = info_.HadFolderParameters;
    options.TraceFile = info_.Options.TraceFile;
    options.DumpVarsFile = info_.Options.DumpVarsFile;
    options.InstallEnvironment = false;  // ours answers the window's questions too
    session_ = std::make_unique<TGameSession>(options);
    environment_ = std::make_unique<TScenarioEnvironmentT<TAppEnvironment>>(*session_->Project(), *view_,
                                                                              platform_->Clock());
    SetEnvironment(environment_.get());
  }

  void CreateProject() override {
    if (!session_) return;
    session_->Start();
    const std::string& why = session_->Project()->SilentFailure;
    if (Quitting() && !why.empty()) {
      // The original closed without a word; a terminal user learns why, and scripts see it.
      std::fprintf(stderr, "novaplayer: %s\n", SjisToUtf8(why).c_str());
      exitCode_ = 1;
    }
  }
  int ExitCode() override { return exitCode_; }
  bool HasProject() override { return session_ && session_->Project(); }
  int32_t ProjectWidth() override { return HasProject() ? session_->Project()->ScreenWidth() : 640; }
  int32_t ProjectHeight() override { return HasProject() ? session_->Project()->ScreenHeight() : 480; }
  std::string ProjectName() override { return HasProject() ? session_->Project()->Name() : std::string(); }
  bool SleepFlag() override { return HasProject() && session_->Project()->File().SleepFlag != 0; }

  void RunInterpreter() override { session_->RunInterpreter(); }
  bool ServiceRequests() override { return session_->ServiceRequests(); }

  void DestroyProject() override {
    if (session_) session_->Finish();
  }
  void DestroyVariableStore() override {
    if (!session_) return;
    SetEnvironment(nullptr);
    environment_.reset();
    session_.reset();
  }

private:
  TFormView* view_ = nullptr;
  TPlatform* platform_ = nullptr;
  TStartupInfo info_;
  std::unique_ptr<TGameSession> session_;
  std::unique_ptr<TSystemEnvironment> environment_;
  int exitCode_ = 0;
};

}  // namespace

std::unique_ptr<TGameHooks> CreateScenarioHooks() { return std::make_unique<TScenarioHooks>(); }

}  // namespace nova
