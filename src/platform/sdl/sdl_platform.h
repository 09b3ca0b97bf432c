#pragma once
// The player's platform on the real libraries: an SDL window with message boxes, the system
// clock, xdg-open, the FreeType caption face, the FreeType font rasteriser, SDL sound, FFmpeg
// decoding and MIDI. Headless runs take the headless bundle of platform/platform.h instead, with
// the FreeType rasteriser and the FFmpeg decoders.
#include <filesystem>
#include <memory>

#include "platform/platform.h"

namespace nova {

std::unique_ptr<TPlatform> CreateSdlPlatform();

// The bundle the player runs with. Headless: the headless platform with the FFmpeg decoders;
// audioOut names the WAV file its sound device writes (empty: the sound is dropped; with a
// file, MIDI plays on the FluidSynth synthesizer into it, else on the recording port).
std::unique_ptr<TPlatform> CreatePlayerPlatform(bool headless, const std::filesystem::path& audioOut = {});

}  // namespace nova
