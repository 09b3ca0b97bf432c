#include "scenario/commands_media.h"

#include "archive/vrfiles.h"
#include "objects/media_object.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "scenario/call_man.h"

namespace nova {
namespace {

TNovaMediaObject* AsMedia(TNovaObject* object) { return dynamic_cast<TNovaMediaObject*>(object); }

// An object named by an expression; the empty name (the screen) names no medium.
TNovaObject* NamedObject(TNovaParser* expr, TCallMan& cm) {
  const std::string name = EvalStr(expr, cm);
  return cm.Scene().FindObject(name);
}

}  // namespace

void TComMovieStop::LoadFields(TFieldReader& f) {
  object_ = f.Expr("object");
  fade_ = f.Expr("fade");
  waitExpr_ = f.Expr("wait");
  blockExpr_ = f.Expr("block");
}

void TComMediaPlay::Execute(TCallMan& cm) {
  cm.Next();
  if (TNovaMediaObject* media = AsMedia(NamedObject(Expr("object"), cm))) media->SetPlayState(LP_PLAYFADE);
}

void TComMovieStop::Enter(TCallMan& cm) {
  blockEvents_ = EvalFlag(blockExpr_.get(), cm, false) ? 1 : 0;
  wait_ = 0;
  target_ = TObjectRef();
  objectName_.clear();
  scene_ = &cm.Scene();
  TNovaObject* object = NamedObject(object_.get(), cm);
  TNovaMediaObject* media = AsMedia(object);
  if (!media) return;
  const int32_t time = EvalInt(fade_.get(), cm, 0);
  if (time > 0) {
    // Only a medium that is there to fade: a CD track or a file of the game.
    const std::string source = ReadProperty(*object, PR_SOURCE).Str;
    if (source.compare(0, 3, "CD_") != 0 && !FileManager().Exists(source)) return;
    if (media->PlayState() != LP_PLAY && media->PlayState() != LP_PLAYFADE) return;
    WriteProperty(*object, PR_DELAY, TPropValue::OfInt(time));
    media->SetPlayState(LP_STOPFADE);
  } else {
    media->SetPlayState(LP_STOP);
    object->MarkForDeletion();
  }
  target_ = TObjectRef(object);
  wait_ = EvalFlag(waitExpr_.get(), cm, false) ? 1 : 0;
}

void TComMovieStop::Execute(TCallMan& cm) {
  TNovaBaseList& scene = cm.Scene();
  scene_ = &scene;
  // After a loaded game the object is found by the name the record kept.
  if (!target_.Object && !objectName_.empty()) target_ = TObjectRef(scene.FindObject(objectName_));
  if (!wait_ || !scene.Resolve(target_)) {
    cm.Next();
    return;
  }
  cm.SetContinue(false);
}

void TComMovieStop::SaveState(TStream& s) {
  TNovaObject* object = scene_ ? scene_->Resolve(target_) : nullptr;
  objectName_ = object ? object->Name() : std::string();
  TComObjectWait::SaveState(s);
}

void TComMovieStop::LoadState(TStream& s) {
  TComObjectWait::LoadState(s);
  target_ = TObjectRef();  // looked up by the name on the next execution
}

}  // namespace nova
