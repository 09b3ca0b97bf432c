#include "platform/sdl/player_midi.h"

#include "platform/sdl/alsa_midi.h"
#include "platform/sdl/fluidsynth_midi.h"

namespace nova {

TPlayerMidiPorts::TPlayerMidiPorts(TUserMediaConfig config, TOpenStream openStream, bool withAlsa)
    : config_(std::move(config)), openStream_(std::move(openStream)), withAlsa_(withAlsa) {}

std::vector<std::string> TPlayerMidiPorts::Names() {
  std::vector<std::string> names{FluidSynthPortName()};
  if (withAlsa_)
    for (const TAlsaPort& p : ListAlsaMidiPorts()) names.push_back(p.Name);
  return names;
}

std::unique_ptr<TMidiOutput> TPlayerMidiPorts::Open(int index) {
  std::vector<std::string> names = Names();
  if (index == -1) {
    index = 0;
    for (size_t i = 0; i < names.size(); ++i)
      if (!config_.MidiPort.empty() && names[i] == config_.MidiPort) index = static_cast<int>(i);
  }
  if (index < 0 || index >= static_cast<int>(names.size())) return nullptr;
  if (index == 0) return OpenFluidSynthMidi(openStream_(), config_.SoundFont, config_.MusicVolume);
  std::vector<TAlsaPort> ports = ListAlsaMidiPorts();
  for (const TAlsaPort& p : ports)
    if (p.Name == names[static_cast<size_t>(index)]) return OpenAlsaMidi(p);
  return nullptr;
}

}  // namespace nova
