#pragma once
// The Flip command: the back screen becomes the displayed one, at once or through a screen
// transition that runs over several frames, optionally carrying objects over to the new screen
// and deleting what the old one held.
#include <string>
#include <vector>

#include "objects/nova_object.h"
#include "scenario/command.h"

namespace nova {

class TCustomDIBX;
class TNovaBaseList;

class TComFlip : public TCommand {
public:
  using TCommand::TCommand;
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  // While its transition runs.
  bool Yields() const override { return phase_ != TPhase::Swap; }
  void Enter(TCallMan& cm) override;
  void Execute(TCallMan& cm) override;
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;
  // Ends a running transition at once (PCReset): the new screen is shown.
  void Abort(TCallMan& cm) override;

  bool ClearsOldScreen() const { return clearOld_ != 0; }

private:
  enum class TPhase : uint8_t {
    Swap,     // no transition: the screens change at the next execution
    Started,  // the transition started in this frame
    Timing,   // the next execution takes the start time
    Running,  // advancing the transition to the elapsed time until its duration
  };

  void LoadFields(TFieldReader& f) override;
  void TakeSnapshot(TNovaBaseList& scene);
  void CarryOver(TNovaBaseList& scene, int32_t mode, const std::vector<std::string>& names);
  void StartWipe(TCallMan& cm, int32_t kind, bool reverse);
  // Shows the other screen without a transition, deletes the snapshot and, with clear-old,
  // the objects of the screen that is now hidden (cabinets stay).
  void Finish(TCallMan& cm);

  std::unique_ptr<TNovaParser> kind_, durationExpr_, reverse_, carryMode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
  std::unique_ptr<TNovaParser> clearOldExpr_, param1_, param2_, textParam_, blockExpr_;

  // A command restored from a saved state without its transition finishes at its next
  // execution: it starts out running a transition the scene no longer has.
  TPhase phase_ = TPhase::Running;
  int32_t duration_ = 1;
  uint32_t startTime_ = 0;
  uint64_t transition_ = 0;  // the scene's serial of the transition this command started
  int shownIndex_ = 0;       // the screen displayed when the command began
  TObjectRef shownScreen_;   // that screen (gone when the scene was cleared or loaded since)
  TObjectRef snapshot_;
  uint8_t blockEvents_ = 0, clearOld_ = 0;
};

// Reads a transition's mask picture (a game file) into an 8-bit surface whose grey palette
// turns every pixel into its grey level; null when the file does not exist or is no picture.
std::unique_ptr<TCustomDIBX> LoadWipeMaskPicture(const std::string& name, int32_t imageKey);

}  // namespace nova
