#pragma once
// MIDI output ports of the ALSA sequencer (hardware ports and software synthesizers that take
// MIDI), when the system has a sequencer.
#include <memory>
#include <string>
#include <vector>

#include "platform/midi_output.h"

namespace nova {

struct TAlsaPort {
  int Client = 0, Port = 0;
  std::string Name;  // "client name:port name"
};

std::vector<TAlsaPort> ListAlsaMidiPorts();
std::unique_ptr<TMidiOutput> OpenAlsaMidi(const TAlsaPort& port);

}  // namespace nova
