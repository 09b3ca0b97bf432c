#include "scenario/commands_flip.h"

#include <algorithm>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "base/text_lines.h"
#include "components/images/snapshot_image.h"
#include "formats/surface_loader.h"
#include "objects/scene.h"
#include "render/wipes.h"
#include "scenario/call_man.h"

namespace nova {

std::unique_ptr<TCustomDIBX> LoadWipeMaskPicture(const std::string& name, int32_t imageKey) {
  try {
    if (name.empty() || !FileManager().Exists(name)) return nullptr;
    TKtMemoryStream bytes;
    FileManager().ReadFile(bytes, name);
    bytes.SetPosition(0);
    auto picture = std::make_unique<TDIBX>();
    picture->SetSize(1, 1, 8);
    if (!LoadSurfaceFromStream(*picture, bytes, name, imageKey)) return nullptr;
    return picture;
  } catch (const std::exception&) {
    // A damaged picture changes everything together, as a missing one does.
    return nullptr;
  }
}

void TComFlip::LoadFields(TFieldReader& f) {
  kind_ = f.Expr("kind");
  durationExpr_ = f.Expr("time");
  reverse_ = f.Expr("reverse");
  carryMode_ = f.Expr("mode");
  patterns_ = f.Exprs("patterns");
  clearOldExpr_ = f.Expr("clear");
  param1_ = f.Expr("param1");
  param2_ = f.Expr("param2");
  textParam_ = f.Expr("text");
  blockExpr_ = f.Expr("block");
}

void TComFlip::Enter(TCallMan& cm) {
  TNovaBaseList& scene = cm.Scene();
  int32_t kind = EvalInt(kind_.get(), cm, WP_NONE);
  if (kind >= kWipeKindCount) kind = WP_NONE;
  TCustomParam* time = Evaluate(durationExpr_.get(), cm);
  const int32_t requested = time ? time->GetAsInt() : 0;
  duration_ = std::max<int32_t>(requested, 1);
  blockEvents_ = EvalFlag(blockExpr_.get(), cm, false) ? 1 : 0;
  clearOld_ = EvalFlag(clearOldExpr_.get(), cm, false) ? 1 : 0;
  const bool reverse = EvalFlag(reverse_.get(), cm, false);
  std::vector<std::string> names;
  for (const auto& p : patterns_)
    for (std::string& line : SplitLines(EvalStr(p.get(), cm))) names.push_back(std::move(line));

  phase_ = TPhase::Swap;
  transition_ = 0;
  shownIndex_ = scene.DisplayedIndex();
  shownScreen_ = TObjectRef(&scene.Displayed());
  snapshot_ = TObjectRef();
  // A Flip shorter than a millisecond is over before any frame could show it: it swaps at
  // once rather than start a transition of 1 ms that no frame would advance.
  const bool timed = requested > 0;
  if (TCustomParam* mode = Evaluate(carryMode_.get(), cm)) {
    if (timed) TakeSnapshot(scene);
    CarryOver(scene, mode->GetAsInt(), names);
  }
  if (timed) StartWipe(cm, kind, reverse);
}

void TComFlip::TakeSnapshot(TNovaBaseList& scene) {
  // The picture as it stands now, objects created in this frame included.
  scene.PaintScene();
  TCustomDIBX* picture = scene.Displayed().DrawSurface();
  TSnapshotImage* snapshot = scene.Add(std::make_unique<TSnapshotImage>(&scene));
  snapshot->SetName(TSnapshotImage::SnapshotName());
  snapshot->SetParent(&scene.Displayed());
  if (picture) snapshot->TakePicture(*picture);
  snapshot_ = TObjectRef(snapshot);
}

void TComFlip::CarryOver(TNovaBaseList& scene, int32_t mode, const std::vector<std::string>& names) {
  if (mode != 0 && mode != 1) return;  // other modes carry nothing
  TNovaControl* snapshot = static_cast<TNovaControl*>(scene.Resolve(snapshot_));
  const std::vector<TNovaControl*> children = scene.Displayed().Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TNovaControl* child = *it;
    if (child == snapshot) continue;
    const bool listed = std::find(names.begin(), names.end(), child->Name()) != names.end();
    if (listed == (mode == 1)) child->SetParent(&scene.BackScreen());
  }
}

void TComFlip::StartWipe(TCallMan& cm, int32_t kind, bool reverse) {
  TNovaBaseList& scene = cm.Scene();
  TCustomWipe* wipe = scene.StartTransition(shownIndex_, kind, reverse, duration_);
  if (!wipe) return;  // no transition of that kind: the screens change at once
  if (TCustomParam* p = Evaluate(param1_.get(), cm)) wipe->SetParam(0, p->GetAsInt());
  if (TCustomParam* p = Evaluate(param2_.get(), cm)) wipe->SetParam(1, p->GetAsInt());
  if (TCustomParam* text = Evaluate(textParam_.get(), cm)) {
    const std::string name = text->GetAsStr();
    wipe->SetMaskName(name);
    if (kind == WP_MASKFADE || kind == WP_MASKWHITE || kind == WP_MASKBLACK)
      wipe->SetMaskImage(LoadWipeMaskPicture(name, cm.Host().ImageKey()));
  }
  wipe->Prepare();
  transition_ = scene.TransitionSerial();
  phase_ = TPhase::Started;
}

void TComFlip::Execute(TCallMan& cm) {
  switch (phase_) {
    case TPhase::Swap: break;
    case TPhase::Started:
      phase_ = TPhase::Timing;
      return;
    case TPhase::Timing:
      // The clock starts in the frame after the transition began.
      startTime_ = FrameClock().Total;
      phase_ = TPhase::Running;
      return;
    case TPhase::Running: {
      TNovaBaseList& scene = cm.Scene();
      // Without its transition (a loaded game, another Flip in between) it ends now.
      if (transition_ != 0 && scene.TransitionSerial() == transition_) {
        const uint32_t elapsed = FrameClock().Total - startTime_;
        if (elapsed < static_cast<uint32_t>(duration_)) {
          scene.Transition()->SetElapsed(static_cast<int32_t>(elapsed));
          return;
        }
      }
      break;
    }
  }
  Finish(cm);
  cm.Next();
}

void TComFlip::Finish(TCallMan& cm) {
  TNovaBaseList& scene = cm.Scene();
  // The other screen than the one shown at the start; a command restored into a cleared or
  // loaded scene takes the screen displayed now as that one.
  const int shown = scene.Resolve(shownScreen_) ? shownIndex_ : scene.DisplayedIndex();
  scene.StartTransition(shown ^ 1);
  if (TNovaObject* snapshot = scene.Resolve(snapshot_)) snapshot->MarkForDeletion();
  if (clearOld_) {
    for (TNovaControl* child : scene.BackScreen().Children())
      if (child->TypeCode() != LT_CABINET) child->MarkForDeletion();
  }
  phase_ = TPhase::Swap;
  transition_ = 0;
  snapshot_ = TObjectRef();
  shownScreen_ = TObjectRef();
}

void TComFlip::Abort(TCallMan& cm) {
  if (phase_ != TPhase::Swap) Finish(cm);
}

void TComFlip::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteByte(blockEvents_);
  s.WriteByte(clearOld_);
}

void TComFlip::LoadState(TStream& s) {
  const int version = ReadStateTag(s);
  if (version >= 100) {
    blockEvents_ = s.ReadByte();
    clearOld_ = s.ReadByte();
  }
}

}  // namespace nova
