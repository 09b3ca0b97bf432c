#pragma once
// Particle emitters on the component scene (64 x 48): a 4 x 4 frame "dot.bri" (two frames
// "anim.bri"), emitters made as the creation command makes them (their expressions handed
// over first, then the properties), a fixed random generator and the frame budget of 16 ms.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../component_fixtures.h"
#include "base/process.h"
#include "components/effects/nova_particle.h"
#include "params/parser.h"

namespace nova::test {

// The expressions of a creation command (empty: the command carries none).
struct Emission {
  std::string X, Y, Interval;
};

struct ParticleScene : ComponentScene {
  ParticleScene() {
    FrameClock().FrameBudget = 16;
    // The same numbers in every run: state := state x 134775813 + 1.
    services.NextRandomState = [this] { return randomState = randomState * 134775813u + 1u; };
    AddFile("dot.bri", BriBytes({Solid(4, 4, 0xFF0000)}));
    AddFile("anim.bri", BriBytes({Solid(4, 4, 0xFF0000, 50), Solid(2, 2, 0x00FF00, 50)}));
  }
  ~ParticleScene() { FrameClock().FrameBudget = 16; }

  TNovaParticle* Emitter(const Emission& e, const std::vector<std::pair<int, TPropValue>>& props = {},
                         const std::string& name = "em", TNovaControl* parent = nullptr) {
    TNovaObject* o = scene.CreateObject(LT_PARTICLE);
    auto hand = [o](int id, const std::string& text) {
      if (!text.empty()) o->TakeExpression(id, std::shared_ptr<TNovaParser>(CompileExpression(text)));
    };
    hand(PR_APPEARX, e.X);
    hand(PR_APPEARY, e.Y);
    hand(PR_DELAY, e.Interval);
    o->SetName(name);
    auto* emitter = static_cast<TNovaParticle*>(o);
    emitter->SetParent(parent ? parent : &scene.Displayed());
    // The emitter's rectangle is the whole scene unless given.
    emitter->SetBounds(0, 0, 64, 48);
    for (const auto& [id, v] : props) WriteProperty(*o, id, v);
    o->EndInit();
    return emitter;
  }

  int Count(const TNovaParticle& e) const { return e.Particles().Count(); }
  TNovaParticleImages& Particle(const TNovaParticle& e, int i) const { return *e.Particles().Item(i); }

  uint32_t randomState = 12345;
};

inline TPropValue Float(long double v) { return TPropValue::OfFloat(v); }

}  // namespace nova::test
