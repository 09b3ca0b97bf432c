#pragma once
// Commands that act on display objects, text, history, media, transitions and cabinets. They
// load every field of their records; until the object, text and media subsystems exist their
// effect is only to move on to the next command.
#include <array>

#include "scenario/command.h"

namespace nova {

// A record that carries one expression per property id set in the page's slot for its code.
class TComComponent : public TCommand {
public:
  using TCommand::TCommand;
  TNovaParser* Prop(int id) const { return (id >= 0 && id < kPropertyCount) ? props_[static_cast<size_t>(id)].get() : nullptr; }
  bool HasProp(int id) const { return Prop(id) != nullptr; }

protected:
  void LoadFields(TFieldCursor& f) override { props_ = f.Props(); }
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> props_{};
};

// Creates a visible object.
class TComControl : public TComComponent {
public:
  using TComComponent::TComComponent;
};

template <int C>
class TComComponentOf : public TComComponent {
public:
  using TComComponent::TComComponent;
  int Code() const override { return C; }
};
template <int C>
class TComControlOf : public TComControl {
public:
  using TComControl::TComControl;
  int Code() const override { return C; }
};

using TComBoxNew = TComControlOf<8>;
using TComImgNew = TComControlOf<9>;
using TComMesNew = TComControlOf<10>;
using TComTimer = TComComponentOf<11>;
using TComMovie = TComControlOf<12>;
using TComCinema = TComControlOf<23>;
using TComCaption = TComControlOf<24>;
using TComMenu = TComControlOf<25>;
using TComBtnNew = TComControlOf<30>;
using TComParticleNew = TComControlOf<36>;
using TComFireNew = TComControlOf<37>;
using TComSound = TComComponentOf<42>;
using TComEditNew = TComControlOf<43>;
using TComMemoNew = TComControlOf<44>;
using TComMapImgNew = TComControlOf<48>;
using TComWaveNew = TComControlOf<49>;
using TComTileNew = TComControlOf<50>;
using TComSliderNew = TComControlOf<51>;
using TComScrollbarNew = TComControlOf<52>;
using TComGaugeNew = TComControlOf<53>;
using TComCGCaption = TComControlOf<54>;
using TComPrevMenuNew = TComControlOf<56>;

class TComCabinet : public TComComponent {
public:
  using TComComponent::TComComponent;

protected:
  void LoadFields(TFieldCursor& f) override {
    props_ = f.Props();
    mode_ = f.Expr();
    patterns_ = f.Exprs();
  }
  std::unique_ptr<TNovaParser> mode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
};
class TComCabinetSave : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
  int Code() const override { return 59; }
};
class TComCabinetLoad : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
  int Code() const override { return 60; }
};

// A command whose record is a fixed list of expressions (object name, settings ...).
template <int C, int N>
class TComExprs : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return C; }
  TNovaParser* Expr(int i) const { return exprs_[static_cast<size_t>(i)].get(); }

protected:
  void LoadFields(TFieldCursor& f) override {
    for (auto& e : exprs_) e = f.Expr();
  }
  std::array<std::unique_ptr<TNovaParser>, N> exprs_{};
};

using TComSetProp = TComExprs<18, 3>;       // object name, property id, value
using TComObjDel = TComExprs<19, 1>;        // object name
using TComMenuClose = TComExprs<26, 1>;     // menu name
using TComTextClr = TComExprs<28, 1>;       // message box name
using TComCallHist = TComExprs<29, 5>;      // box, first entry, entry count, flag, format (v >= 111)
using TComMediaPlay = TComExprs<55, 1>;     // object name
using TComPropMotion = TComExprs<57, 7>;    // name, target, property id, value, time, kind, flag (v >= 108)
using TComEntryHist = TComExprs<58, 2>;     // box, format (v >= 111)

class TComGetProp : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 17; }

protected:
  void LoadFields(TFieldCursor& f) override {
    object_ = f.Expr();
    prop_ = f.Expr();
    varName_ = f.Str();
  }
  std::unique_ptr<TNovaParser> object_, prop_;
  std::string varName_;
};

class TComClrHist : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 22; }
};
class TComClrRead : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 47; }
};

// The running commands keep their running-state records so saved states stay readable.
class TComTextIns : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 20; }
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return wait_ != 0; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;
  const std::string& TextBlock() const { return text_; }

protected:
  void LoadFields(TFieldCursor& f) override;
  std::string text_;
  std::unique_ptr<TNovaParser> box_, readMark_, waitExpr_, blockExpr_;
  std::string boxName_;
  uint8_t wait_ = 0, blockEvents_ = 0;
};

class TComMovieStop : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 21; }
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return wait_ != 0; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  void LoadFields(TFieldCursor& f) override;
  std::unique_ptr<TNovaParser> object_, fade_, waitExpr_, blockExpr_;
  std::string objectName_;
  uint8_t wait_ = 0, blockEvents_ = 0;
};

class TComFlip : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 13; }
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return duration_ > 0 && started_; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  void LoadFields(TFieldCursor& f) override;
  std::unique_ptr<TNovaParser> kind_, durationExpr_, reverse_, carryMode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
  std::unique_ptr<TNovaParser> clearOld_, param1_, param2_, textParam_, blockExpr_;
  int32_t duration_ = 0;
  bool started_ = false;
  uint8_t blockEvents_ = 0, clearOldFlag_ = 0;
};

}  // namespace nova
