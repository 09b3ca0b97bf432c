#pragma once
// The user's own media settings, kept apart from the game: $XDG_CONFIG_HOME/novaplayer/media.ini
// (~/.config/novaplayer/media.ini without XDG_CONFIG_HOME). A missing file or key keeps the
// default. Format: "[Section]" lines and "Key=Value" lines, "#" or ";" comment lines, names
// without regard to letter case:
//
//   [Audio]
//   Device=          ; SDL output device name; empty: the system's default
//   MusicVolume=100  ; percent, 0..100: MIDI, CD tracks, Windows Media sound, repeating sounds
//   SoundVolume=100  ; percent, 0..100: the other sounds and the sound of movies
//   [MIDI]
//   SoundFont=/usr/share/sounds/sf2/default-GM.sf2
//   Port=            ; the port the MIDI mapper stands for; empty: the synthesizer
#include <filesystem>
#include <string>

namespace nova {

struct TUserMediaConfig {
  std::string AudioDevice;
  int MusicVolume = 100;
  int SoundVolume = 100;
  std::filesystem::path SoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
  std::string MidiPort;
};

std::filesystem::path UserMediaConfigPath();
TUserMediaConfig ParseUserMediaConfig(const std::string& text);
// Reads UserMediaConfigPath() (defaults when it is missing).
TUserMediaConfig LoadUserMediaConfig();

}  // namespace nova
