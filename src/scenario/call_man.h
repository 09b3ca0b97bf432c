#pragma once
// The interpreter: one flow of control over the pages, with calls between pages and event
// handlers that interrupt the main flow between commands. Run is one pass per frame.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "objects/scene.h"
#include "params/param.h"
#include "scenario/pages.h"
#include "scenario/scenario_host.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;

// One call-stack frame: where to return and what to restore there.
struct TStack {
  std::string PageName;
  int32_t Index = 0;
  uint8_t Entered = 0;
  uint8_t Continue = 0;
  std::string ResultVar;
  std::vector<std::string> Args;
  TEventSender Sender;
  std::unique_ptr<TKtMemoryStream> SavedState;  // running state of the command left behind
  std::unique_ptr<TCustomParam> ResultValue;    // of the called page's result type

  void Save(TStream& s, const TNovaBaseList& scene) const;
  void Load(TStream& s, const TNovaBaseList& scene);
};

// Every push, pop and clear sets the store's CurrentLevel to the frame count.
class TStackList {
public:
  explicit TStackList(TParamCollection& store) : store_(store) {}
  int Count() const { return static_cast<int>(frames_.size()); }
  TStack& Frame(int i) { return *frames_[static_cast<size_t>(i)]; }
  TStack& Top() { return *frames_.back(); }
  void Push(std::unique_ptr<TStack> frame);
  std::unique_ptr<TStack> Pop();  // "スタックエラー" when empty
  void Clear();

private:
  std::vector<std::unique_ptr<TStack>> frames_;
  TParamCollection& store_;
};

// It binds the system variables of the running call (@Result, @ParamCount, @ParamStr, @Sender)
// for its lifetime.
class TCallMan {
public:
  static constexpr int kPageCacheSize = 10;

  TCallMan(TParamCollection& store, TSysFuncMan& funcs, TNovaBaseList& scene, TScenarioHost& host);
  ~TCallMan();

  void Start(const std::string& pageName);
  void Run();
  TPage* GetPage(const std::string& name, bool use);

  int ArgCount() const { return static_cast<int>(args_.size()); }
  std::string Arg(int i) const;
  std::string SenderName() const;
  TCustomParam* ResultValue();
  bool IsBlocked() const;

  void SaveState(TStream& s);
  void LoadState(TStream& s, int32_t saveVersion);

  // One step of the machinery (used by Run; public for the commands and the tests).
  void ExecuteOne();
  int StepPage();
  int StartEvent(int32_t level);

  // State the commands read and change.
  TPage* CurrentPage() const { return page_; }
  void SetCurrentPage(TPage* page) { page_ = page; }
  int32_t Index() const { return index_; }
  void SetIndex(int32_t index) { index_ = index; }
  void Next() { ++index_; }
  void EndPage() { page_ = nullptr; }
  bool Continue() const { return continue_ != 0; }
  void SetContinue(bool on) { continue_ = on ? 1 : 0; }
  bool Entered() const { return entered_ != 0; }
  int32_t State() const { return state_; }
  int32_t EventLevel() const { return eventLevel_; }
  const std::vector<std::string>& Args() const { return args_; }
  TStackList& Stack() { return stack_; }
  const TStack& SpareFrame() const { return *spare_; }
  int CachedPageCount() const { return static_cast<int>(cache_.size()); }
  TPage* CachedPage(int i) const { return cache_[static_cast<size_t>(i)].get(); }

  // Call: push a frame returning after the current command and enter the page at target.
  void CallPage(const std::string& name, int32_t target, const std::string& resultVar,
                std::vector<std::string> args);
  // After a game load: the after-load page runs first (from index when > 0) and returns to
  // the restored position. Nothing happens without a page or without a current page.
  void EnterAfterLoadPage(const std::string& name, int32_t index);
  // PCReset with and without the full-reset flag.
  void ProgramReset(const std::string& pageName, int32_t target, bool full);

  TParamCollection& Store() { return store_; }
  TSysFuncMan& Funcs() { return funcs_; }
  TNovaBaseList& Scene() { return scene_; }
  TEventQueue& Events() { return scene_.Events(); }
  TScenarioHost& Host() { return host_; }

  // Called from inside a pass every so many commands, so the owner can keep the window
  // answering a close request during a pass that never yields.
  void SetResponsivenessHook(std::function<void()> hook) { keepResponsive_ = std::move(hook); }

  // Trace lines "%.8x : %s(%d)" for each command run for the first time in a row, and the
  // failures of page loads and commands.
  void SetTraceSink(TTraceSink sink) { trace_ = std::move(sink); }
  void TraceError(const std::string& what, const std::string& message);

private:
  void ReturnFromCall();
  void ClearEventLevels();
  void Trace(const std::string& line);

  void BindVariables();

  TParamCollection& store_;
  TSysFuncMan& funcs_;
  TNovaBaseList& scene_;
  TEventQueue& events_;
  TScenarioHost& host_;
  std::function<void()> keepResponsive_;

  std::vector<std::unique_ptr<TPage>> cache_;  // most recently used first
  TPage* page_ = nullptr;
  int32_t index_ = 0;
  uint8_t continue_ = 0;
  uint8_t entered_ = 0;
  TStackList stack_;
  std::unique_ptr<TStack> spare_;
  std::vector<std::string> args_;
  int32_t state_ = 0;
  int32_t eventLevel_ = 2;
  TEventSender sender_;

  bool yielded_ = false;  // the last executed command yields
  bool stalled_ = false;  // the last command left the position unchanged: the pass ends
  TTraceSink trace_;
  const TCommand* lastTraced_ = nullptr;
};

}  // namespace nova
