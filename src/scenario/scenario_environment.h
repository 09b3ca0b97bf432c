#pragma once
// The system variables' view of the interpreter and the project (@Result, @ParamCount,
// @ParamStr, @Sender, @ScrWidth, @ScrHeight, @Title, the save captions). A mixin over any
// environment, so the player can stack it on the one that answers clocks and input:
//   TScenarioEnvironmentT<TAppEnvironment> env(project);
#include "params/environment.h"
#include "scenario/project.h"

namespace nova {

template <class Base = TSystemEnvironment>
class TScenarioEnvironmentT : public Base {
public:
  template <class... Args>
  explicit TScenarioEnvironmentT(TProject& project, Args&&... args)
      : Base(std::forward<Args>(args)...), project_(project) {}

  TCustomParam* ResultValue() override {
    TCallMan* cm = project_.CallMan();
    return cm ? cm->ResultValue() : nullptr;
  }
  int ArgCount() override {
    TCallMan* cm = project_.CallMan();
    return cm ? cm->ArgCount() : 0;
  }
  std::string Arg(int i) override {
    TCallMan* cm = project_.CallMan();
    return cm ? cm->Arg(i) : std::string();
  }
  std::string SenderName() override {
    TCallMan* cm = project_.CallMan();
    return cm ? cm->SenderName() : std::string();
  }
  int32_t ScreenWidth() override { return project_.ScreenWidth(); }
  int32_t ScreenHeight() override { return project_.ScreenHeight(); }
  std::string Title() override { return project_.Name(); }
  std::string GetSaveCaption(int32_t slot) override { return project_.GetSaveCaption(slot); }
  std::vector<std::pair<std::string, int32_t>> SaveCaptions() override { return project_.SaveCaptions(); }

private:
  TProject& project_;
};

using TScenarioEnvironment = TScenarioEnvironmentT<>;

}  // namespace nova
