#pragma once
// The MIDI ports of the player: the FluidSynth synthesizer (rendering into the player's sound
// device) first, then the ALSA sequencer's output ports. The mapper (index -1) stands for the
// port named in the user's media settings, else the synthesizer.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/midi_output.h"
#include "platform/user_config.h"

namespace nova {

class TPlayerMidiPorts {
public:
  using TOpenStream = std::function<std::unique_ptr<TAudioOutput>()>;
  // withAlsa false: the synthesizer only (the headless player).
  TPlayerMidiPorts(TUserMediaConfig config, TOpenStream openStream, bool withAlsa);
  std::vector<std::string> Names();
  std::unique_ptr<TMidiOutput> Open(int index);

private:
  TUserMediaConfig config_;
  TOpenStream openStream_;
  bool withAlsa_;
};

}  // namespace nova
