#pragma once
// The MIDI synthesizer port: FluidSynth with a General MIDI sound font, rendering into a stream
// of the player's sound device (so the headless WAV output hears it too).
#include <filesystem>
#include <memory>

#include "platform/audio_output.h"
#include "platform/midi_output.h"

namespace nova {

// The port's name in the list of MIDI ports.
const char* FluidSynthPortName();
// Null when the sound font cannot be loaded or no stream is given.
std::unique_ptr<TMidiOutput> OpenFluidSynthMidi(std::unique_ptr<TAudioOutput> stream,
                                                const std::filesystem::path& soundFont, int volumePercent = 100);

}  // namespace nova
