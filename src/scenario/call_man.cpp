#include "scenario/call_man.h"

#include <algorithm>
#include <exception>

#include "base/error.h"
#include "base/process.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/system_vars.h"
#include "scenario/messages.h"

namespace nova {

namespace {

void WriteStrings(TStream& s, const std::vector<std::string>& list) {
  s.WriteInt32(static_cast<int32_t>(list.size()));
  for (const std::string& a : list) s.WriteString(a);
}

std::vector<std::string> ReadStrings(TStream& s) {
  std::vector<std::string> list;
  int32_t n = s.ReadInt32();
  // Each string takes at least its 4-byte length: a count the stream cannot hold is corrupt.
  if (n < 0 || n > s.Remaining() / 4) RaiseError("call stack: bad argument count");
  list.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) list.push_back(s.ReadString());
  return list;
}

}  // namespace

// ---- frames ----

void TStack::Save(TStream& s, const TNovaBaseList& scene) const {
  s.WriteString(PageName);
  s.WriteInt32(Index);
  s.WriteByte(Entered);
  s.WriteByte(Continue);
  s.WriteString(ResultVar);
  WriteStrings(s, Args);
  s.WriteString(scene.SenderName(Sender));
  if (SavedState && SavedState->Size() > 0) {
    s.WriteInt32(static_cast<int32_t>(SavedState->Size()));
    s.WriteBytes(SavedState->Data());
  } else {
    s.WriteInt32(0);
  }
  if (ResultValue) {
    s.WriteByte(static_cast<uint8_t>(ResultValue->GetParamType()));
    ResultValue->SaveToStream(s);
  } else {
    s.WriteByte(0);
  }
}

void TStack::Load(TStream& s, const TNovaBaseList& scene) {
  PageName = s.ReadString();
  Index = s.ReadInt32();
  Entered = s.ReadByte();
  Continue = s.ReadByte();
  ResultVar = s.ReadString();
  Args = ReadStrings(s);
  Sender = scene.FindSender(s.ReadString());
  int32_t size = s.ReadInt32();
  if (size < 0 || size > s.Remaining()) RaiseError("call stack: bad command state size");
  SavedState.reset();
  if (size > 0) SavedState = std::make_unique<TKtMemoryStream>(s.ReadBytes(size));
  uint8_t type = s.ReadByte();
  ResultValue.reset();
  if (type != 0) {
    ResultValue = CreateParam(type);
    if (!ResultValue) RaiseError("call stack: bad result type");
    ResultValue->LoadFromStream(s);
  }
}

void TStackList::Push(std::unique_ptr<TStack> frame) {
  frames_.push_back(std::move(frame));
  store_.CurrentLevel = Count();
}

std::unique_ptr<TStack> TStackList::Pop() {
  if (frames_.empty()) RaiseError(msg::StackError());
  std::unique_ptr<TStack> frame = std::move(frames_.back());
  frames_.pop_back();
  store_.CurrentLevel = Count();
  return frame;
}

void TStackList::Clear() {
  frames_.clear();
  store_.CurrentLevel = 0;
}

// ---- interpreter ----

TCallMan::TCallMan(TParamCollection& store, TSysFuncMan& funcs, TNovaBaseList& scene, TScenarioHost& host)
    : store_(store),
      funcs_(funcs),
      scene_(scene),
      events_(scene.Events()),
      host_(host),
      stack_(store),
      spare_(std::make_unique<TStack>()) {
  store_.CurrentLevel = 0;
  BindVariables();
}

TCallMan::~TCallMan() {
  for (int v : {SV_RESULT, SV_PARAMCOUNT, SV_PARAMSTR, SV_SENDER}) funcs_.UnregisterVariable(v);
  page_ = nullptr;
  cache_.clear();
}

void TCallMan::BindVariables() {
  funcs_.RegisterVariable(SV_RESULT, {.Target = [this] { return ResultValue(); }});
  funcs_.RegisterVariable(SV_PARAMCOUNT, {.GetInt = [this] { return static_cast<int32_t>(ArgCount()); }});
  funcs_.RegisterVariable(SV_PARAMSTR, {.GetStr = [this](int i) { return Arg(i); }, .Count = [this] { return ArgCount(); }});
  funcs_.RegisterVariable(SV_SENDER, {.GetStr = [this](int) { return SenderName(); }});
}

void TCallMan::Trace(const std::string& line) {
  if (trace_) trace_(line);
}

void TCallMan::TraceError(const std::string& what, const std::string& message) {
  if (!trace_) return;
  trace_(Format("%.8x : !error %s: ", FrameClock().Total, what.c_str()) + message);
}

TPage* TCallMan::GetPage(const std::string& name, bool use) {
  for (size_t i = 0; i < cache_.size(); ++i) {
    if (cache_[i]->Name() != name) continue;
    TPage* p = cache_[i].get();
    if (use) {
      index_ = 0;
      std::rotate(cache_.begin(), cache_.begin() + static_cast<std::ptrdiff_t>(i),
                  cache_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
    return p;
  }
  // A failed load leaves the cache and the position as they were; a page that must be rebuilt
  // stays empty and closes the player.
  auto page = std::make_unique<TPage>(&store_);
  try {
    page->Load(name);
  } catch (const EPageOutdated& e) {
    host_.PageRefused(e.Message());
  }
  TPage* p = page.get();
  if (!use) {
    cache_.push_back(std::move(page));
    return p;
  }
  index_ = 0;
  cache_.insert(cache_.begin(), std::move(page));
  while (cache_.size() > static_cast<size_t>(kPageCacheSize) && cache_.back().get() != page_) {
    cache_.pop_back();
    lastTraced_ = nullptr;  // its commands are gone
  }
  return p;
}

void TCallMan::ClearEventLevels() { events_.RemoveLevels(1, eventLevel_); }

void TCallMan::Start(const std::string& pageName) {
  TPage* p = GetPage(pageName, true);
  page_ = p;
  index_ = 0;
  entered_ = 0;
  args_.clear();
  state_ = 0;
  stack_.Clear();
  sender_ = TEventSender{};
  ClearEventLevels();
  eventLevel_ = 2;
}

std::string TCallMan::Arg(int i) const {
  return (i >= 0 && i < ArgCount()) ? args_[static_cast<size_t>(i)] : std::string();
}

std::string TCallMan::SenderName() const {
  return state_ == 0 ? std::string() : scene_.SenderName(sender_);
}

TCustomParam* TCallMan::ResultValue() { return stack_.Count() > 0 ? stack_.Top().ResultValue.get() : nullptr; }

bool TCallMan::IsBlocked() const {
  return page_ && entered_ && page_->Contains(index_) && page_->Command(index_)->BlocksEvents();
}

void TCallMan::ExecuteOne() {
  yielded_ = false;
  TPage* page = page_;
  if (!page) return;
  if (!page->Contains(index_)) {
    page_ = nullptr;
    return;
  }
  TCommand* cmd = page->Command(index_);
  if (trace_ && cmd != lastTraced_) {
    Trace(Format("%.8x : %s(%d)", FrameClock().Total, page->Name().c_str(), cmd->Line()));
    lastTraced_ = cmd;
  }
  const int32_t index = index_;
  try {
    if (!entered_) {
      if (cmd->IsCommentedOut()) {
        ++index_;
        return;
      }
      cmd->Enter(*this);
      entered_ = 1;
    }
    continue_ = cmd->ContinueFlag() ? 1 : 0;
    yielded_ = cmd->Yields();
    cmd->Execute(*this);
  } catch (const std::exception& e) {
    // A failing command ends its own execution only; the author sees why in the trace.
    TraceError(Format("%s(%d)", page->Name().c_str(), cmd->Line()), e.what());
  }
  if (page_ != page || index_ != index) {
    entered_ = 0;
  } else {
    // The command stays where it was (it waits, or could not act): run it again next pass
    // rather than repeating it without end inside this one.
    stalled_ = true;
  }
}

void TCallMan::ReturnFromCall() {
  // A return page that cannot be loaded ends as well: return further up.
  while (!page_ && stack_.Count() > 0) {
    store_.FreeLevel(stack_.Count());
    spare_ = stack_.Pop();
    TStack& frame = *spare_;
    if (!frame.ResultVar.empty() && frame.ResultValue)
      if (TParamCollectionItem* item = store_.FindParam(frame.ResultVar)) item->Param->AssignTyped(*frame.ResultValue);
    args_ = frame.Args;
    sender_ = frame.Sender;
    if (frame.PageName.empty()) continue;  // the main flow had ended
    try {
      page_ = GetPage(frame.PageName, true);
    } catch (const std::exception& e) {
      TraceError(frame.PageName, e.what());
      continue;
    }
    index_ = frame.Index;
    entered_ = frame.Entered;
    continue_ = frame.Continue;
    if (frame.SavedState && page_->Contains(index_)) {
      frame.SavedState->SetPosition(0);
      try {
        page_->Command(index_)->LoadState(*frame.SavedState);
      } catch (const std::exception& e) {
        TraceError(frame.PageName, e.what());
      }
    }
  }
}

int TCallMan::StepPage() {
  if (!page_) {
    stalled_ = true;  // nothing to run in this flow
    return 0;
  }
  ExecuteOne();
  int r = yielded_ ? 2 : 0;
  if (page_) return r;
  if (stack_.Count() == 0) {
    continue_ = 0;
    return r;
  }
  ReturnFromCall();
  if (sender_.Empty()) return 1;
  return r == 0 ? -1 : r;
}

int TCallMan::StartEvent(int32_t level) {
  if (IsBlocked()) return 0;
  TEventEntry* entry = events_.FirstPending();
  if (!entry) return 0;
  std::string name = entry->PageRef, label;
  for (size_t i = name.size(); i-- > 0;) {
    char c = name[i];
    if (c == '.' || c == '\\') break;
    if (c == ':') {
      label = name.substr(i + 1);
      name.resize(i);
      break;
    }
  }
  name = name.substr(0, name.size() >= 3 ? name.size() - 3 : 0) + "nsb";
  if (!host_.CheckFile(name)) return 0;

  auto frame = std::make_unique<TStack>();
  frame->PageName = page_ ? page_->Name() : std::string();
  frame->Index = index_;
  frame->Entered = entered_;
  frame->Continue = continue_;
  frame->Args = args_;
  frame->Sender = sender_;
  if (entered_ && page_ && page_->Contains(index_)) {
    frame->SavedState = std::make_unique<TKtMemoryStream>();
    page_->Command(index_)->SaveState(*frame->SavedState);
  }
  const int32_t index = index_;
  TPage* p = nullptr;
  try {
    p = GetPage(name, true);
  } catch (const std::exception& e) {
    // A handler page that cannot be read would block every later event: drop the record.
    index_ = index;
    TraceError(name, e.what());
    events_.Remove(entry);
    return 0;
  }
  stack_.Push(std::move(frame));
  page_ = p;
  index_ = 0;
  if (!label.empty()) index_ = std::max(0, p->FindLabel(label));
  if (trace_)
    Trace(Format("%.8x : <Event>%s(%d)", FrameClock().Total, p->Name().c_str(),
                 p->Contains(index_) ? p->Command(index_)->Line() : 0));
  entered_ = 0;
  entry->Level = level;
  args_ = entry->Args;
  sender_ = entry->Sender;
  state_ = 1;
  return 1;
}

void TCallMan::Run() {
  stalled_ = false;
  for (uint32_t steps = 1;; ++steps) {
    if (keepResponsive_ && steps % 4096 == 0) keepResponsive_();
    switch (state_) {
      case 0:
        if (StartEvent(1) != 1) StepPage();
        break;
      case 1: {
        int r = StepPage();
        if (r == 1) {
          events_.RemoveLevel(1);
          state_ = 0;
          continue_ = 1;
        } else if (r == 2) {
          eventLevel_ = 2;
          state_ = 2;
          return;
        } else if (state_ != 1) {
          continue_ = 1;
        }
        break;
      }
      case 2: {
        int rc = StartEvent(eventLevel_);
        if (rc == 0) {
          state_ = eventLevel_ > 2 ? 3 : 1;
        } else {
          ++eventLevel_;
          state_ = 3;
        }
        break;
      }
      default: {
        int r = StepPage();
        if (r == 1 || r == -1) {
          --eventLevel_;
          events_.RemoveLevel(eventLevel_);
          if (eventLevel_ <= 2) state_ = 2;
        } else if (r == 2) {
          state_ = 2;
          return;
        }
        break;
      }
    }
    if (state_ != 0 && !page_ && stack_.Count() == 0) {
      // A handler without a flow to return to (a corrupt saved state): back to the main flow.
      state_ = 0;
      events_.RemoveRunning();
      eventLevel_ = 2;
    }
    if ((continue_ == 0 && state_ == 0) || Quitting() || stalled_) return;
  }
}

void TCallMan::CallPage(const std::string& name, int32_t target, const std::string& resultVar,
                        std::vector<std::string> args) {
  const int32_t index = index_;
  TPage* p;
  try {
    p = GetPage(name, true);
  } catch (...) {
    index_ = index;
    throw;
  }
  auto frame = std::make_unique<TStack>();
  frame->PageName = page_ ? page_->Name() : std::string();
  frame->Index = index + 1;
  frame->ResultVar = resultVar;
  frame->Continue = continue_;
  frame->Sender = sender_;
  frame->Args = std::move(args_);
  frame->ResultValue = CreateParam(p->ResultType());
  stack_.Push(std::move(frame));
  args_ = std::move(args);
  page_ = p;
  index_ = target;
}

void TCallMan::EnterAfterLoadPage(const std::string& name, int32_t index) {
  if (name.empty() || !page_) return;
  auto frame = std::make_unique<TStack>();
  frame->PageName = page_->Name();
  frame->Index = index_;
  frame->Entered = entered_;
  frame->Continue = continue_;
  frame->Args = args_;
  frame->Sender = sender_;
  if (entered_ && page_->Contains(index_)) {
    // The restored command's running state rides along, as for an event.
    frame->SavedState = std::make_unique<TKtMemoryStream>();
    page_->Command(index_)->SaveState(*frame->SavedState);
  }
  TPage* p = GetPage(name, true);
  stack_.Push(std::move(frame));
  page_ = p;
  index_ = index > 0 ? index : 0;
  entered_ = 0;
}

void TCallMan::ProgramReset(const std::string& pageName, int32_t target, bool full) {
  if (full) {
    store_.FreeLevel(stack_.Count());
    for (int i = stack_.Count() - 1; i >= 0; --i) store_.FreeLevel(i);
    for (int i = stack_.Count() - 1; i >= 0; --i) {
      TStack& f = stack_.Frame(i);
      if (!f.Sender.Empty() || !f.Entered) continue;
      try {
        TPage* p = GetPage(f.PageName, false);
        if (p->Contains(f.Index)) p->Command(f.Index)->Abort(*this);
      } catch (const std::exception& e) {
        TraceError(f.PageName, e.what());
      }
    }
    Start(pageName);
    index_ = target;
    events_.Clear();
    return;
  }
  store_.FreeLevel(stack_.Count());
  int pos = -1;
  for (int i = 0; i < stack_.Count(); ++i)
    if (!stack_.Frame(i).Sender.Empty()) {
      pos = i;
      break;
    }
  if (pos < 0 && !SenderName().empty()) pos = stack_.Count();
  if (pos > 0) {
    // The flow that the running handler interrupted resumes at the target when it returns.
    TStack& f = stack_.Frame(pos - 1);
    store_.FreeLevel(pos - 1);
    f.PageName = pageName;
    f.Index = target;
    f.Entered = 0;
    f.ResultVar.clear();
    f.Args.clear();
    f.SavedState.reset();
    ++index_;
  } else {
    TPage* p = GetPage(pageName, true);
    page_ = p;
    index_ = target;
  }
  events_.RemoveRunning();
}

void TCallMan::SaveState(TStream& s) {
  s.WriteString(page_ ? page_->Name() : std::string());
  s.WriteInt32(index_);
  s.WriteByte(continue_);
  s.WriteByte(entered_);
  s.WriteInt32(state_);
  s.WriteString(scene_.SenderName(sender_));
  WriteStrings(s, args_);
  spare_->Save(s, scene_);
  s.WriteInt32(stack_.Count());
  for (int i = 0; i < stack_.Count(); ++i) stack_.Frame(i).Save(s, scene_);
  s.WriteInt32(eventLevel_);
  if (entered_ && page_ && page_->Contains(index_)) page_->Command(index_)->SaveState(s);
}

void TCallMan::LoadState(TStream& s, int32_t saveVersion) {
  std::string name = s.ReadString();
  int32_t index = s.ReadInt32();
  uint8_t cont = s.ReadByte();
  uint8_t entered = s.ReadByte();
  int32_t state = s.ReadInt32();
  TEventSender sender = scene_.FindSender(s.ReadString());
  std::vector<std::string> args = ReadStrings(s);
  auto spare = std::make_unique<TStack>();
  spare->Load(s, scene_);
  int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining()) RaiseError("call stack: bad frame count");
  std::vector<std::unique_ptr<TStack>> frames;
  for (int32_t i = 0; i < n; ++i) {
    auto f = std::make_unique<TStack>();
    f->Load(s, scene_);
    frames.push_back(std::move(f));
  }
  int32_t level = saveVersion >= 116 ? s.ReadInt32() : 2;

  page_ = name.empty() ? nullptr : GetPage(name, true);
  index_ = index;
  continue_ = cont;
  entered_ = entered;
  state_ = std::clamp<int32_t>(state, 0, 3);
  sender_ = sender;
  args_ = std::move(args);
  spare_ = std::move(spare);
  stack_.Clear();
  for (auto& f : frames) stack_.Push(std::move(f));
  eventLevel_ = level;
  if (entered_ && page_ && page_->Contains(index_)) page_->Command(index_)->LoadState(s);
}

}  // namespace nova
