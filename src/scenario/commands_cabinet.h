#pragma once
// SaveCabinet and LoadCabinet: objects of the back screen go into a cabinet (a control that
// holds them off screen) and come back from it, chosen by name.
#include <string>
#include <vector>

#include "scenario/commands_create.h"

namespace nova {

class TNovaControl;

class TComCabinet : public TComComponent {
public:
  using TComComponent::TComComponent;

protected:
  void LoadFields(TFieldReader& f) override;
  // The mode and the pattern values: a name is chosen when mode XOR (it equals a pattern).
  struct TSelection {
    bool Mode = false;
    std::vector<std::string> Patterns;
    bool Chosen(const std::string& name) const;
  };
  TSelection EvaluateSelection(TCallMan& cm);
  // The existing cabinet the name property names, or null.
  TNovaControl* FindCabinet(TCallMan& cm, const std::string& name);
  // Moves the chosen children of from (last to first) under to; then deletes the cabinet when
  // it holds nothing.
  static void MoveChosen(TNovaControl& from, TNovaControl& to, const TSelection& chosen, TNovaControl& cabinet);

  std::unique_ptr<TNovaParser> mode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
};

class TComCabinetSave : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
  void Execute(TCallMan& cm) override;
};

class TComCabinetLoad : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
  void Execute(TCallMan& cm) override;
};

}  // namespace nova
