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
  void LoadFields(TFieldReader& f) override { props_ = f.Props(); }
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> props_{};
};

// Creates a visible object.
class TComControl : public TComComponent {
public:
  using TComComponent::TComComponent;
};

class TComCabinet : public TComComponent {
public:
  using TComComponent::TComComponent;

protected:
  void LoadFields(TFieldReader& f) override {
    props_ = f.Props();
    mode_ = f.Expr("mode");
    patterns_ = f.Exprs("patterns");
  }
  std::unique_ptr<TNovaParser> mode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
};
class TComCabinetSave : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
};
class TComCabinetLoad : public TComCabinet {
public:
  using TComCabinet::TComCabinet;
};

// A command whose record is a list of expressions (object name, settings ...), kept by the
// names the layout table gives them.
class TComExprRecord : public TCommand {
public:
  using TCommand::TCommand;
  TNovaParser* Expr(const char* name) const;

protected:
  void LoadFields(TFieldReader& f) override;
  std::vector<std::pair<const char*, std::unique_ptr<TNovaParser>>> exprs_;
};

class TComGetProp : public TCommand {
public:
  using TCommand::TCommand;

protected:
  void LoadFields(TFieldReader& f) override {
    object_ = f.Expr("object");
    prop_ = f.Expr("prop");
    varName_ = f.Str("var");
  }
  std::unique_ptr<TNovaParser> object_, prop_;
  std::string varName_;
};

// A command that may wait for an object (the message box typing its text, a medium fading out):
// its running-state record is the object's name, the wait flag and the event-blocking flag.
class TComObjectWait : public TCommand {
public:
  using TCommand::TCommand;
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return wait_ != 0; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  std::unique_ptr<TNovaParser> waitExpr_, blockExpr_;
  std::string objectName_;
  uint8_t wait_ = 0, blockEvents_ = 0;
};

class TComMovieStop : public TComObjectWait {
public:
  using TComObjectWait::TComObjectWait;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> object_, fade_;
};

class TComFlip : public TCommand {
public:
  using TCommand::TCommand;
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return duration_ > 0 && started_; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> kind_, durationExpr_, reverse_, carryMode_;
  std::vector<std::unique_ptr<TNovaParser>> patterns_;
  std::unique_ptr<TNovaParser> clearOld_, param1_, param2_, textParam_, blockExpr_;
  int32_t duration_ = 0;
  bool started_ = false;
  uint8_t blockEvents_ = 0, clearOldFlag_ = 0;
};

}  // namespace nova
