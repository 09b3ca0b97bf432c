#pragma once
// Media as the game owns it: media start (the media library, the screen manager, then the
// video, Windows Media, Ogg, CD and MIDI managers in that order), the global sound switch,
// suspension while the window is inactive, the per-frame work, and media end.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "media/media_managers.h"
#include "media/screen_manager.h"

namespace nova {

struct TMediaSettings {
  bool UseDirectSound = true;  // "game.ini" [Sound] DirectSound
  int32_t DelayTime = 500;     // [Sound] DelayTime
  bool UseWMP = false;         // [Video] UseWMP
  std::filesystem::path GameFolder;  // where ripped CD tracks are looked for
  int32_t ScreenWidth = 0, ScreenHeight = 0;    // the project's screen size
  int32_t DisplayWidth = 0, DisplayHeight = 0;  // the project's two display parameters
};

class TMediaSystem {
public:
  // Media start. window: for the display modes (null: no modes).
  TMediaSystem(TPlatform& platform, TVrFileManager& files, const TMediaSettings& settings,
               TPlatformWindow* window);
  // Media end: the screen, video, wave and Windows Media managers, then the Ogg, CD and MIDI
  // managers, then the media library.
  ~TMediaSystem();
  TMediaSystem(const TMediaSystem&) = delete;
  TMediaSystem& operator=(const TMediaSystem&) = delete;

  // The window lost / got the focus.
  void Suspend();
  void Resume();
  // The global sound switch (@SoundON), forwarded to every manager.
  bool SoundOn() const { return soundOn_; }
  void SetSoundOn(bool on);
  // Once a frame: the CD player's timer and completions; decoding when no thread runs it.
  void Update();
  // The frame's last step: overlay movies into the picture.
  void RepaintMovies(TCustomDIBX& target);

  // The manager of a file name, by its extension (".mid"/".sgt" MIDI; ".wma"/".asf"/".wmv"
  // Windows Media; ".ogg"/".wav" Ogg; names beginning with "CD_" the CD); null otherwise.
  TMediaManager* ManagerFor(const std::string& fileName);
  // A new item for a sound (null when no manager takes the name). Errors are raised.
  TDMediaItem* AddSound(const std::string& fileName);
  // Hands an item back to its manager.
  void Release(TDMediaItem* item);

  TVideoManager* Video() { return video_.get(); }
  TWmpManager* Wmp() { return wmp_.get(); }
  TOggManager* Ogg() { return ogg_.get(); }
  TCddaManager* Cdda() { return cdda_.get(); }
  TMidiManager* Midi() { return midi_.get(); }
  TWaveManager* Wave() { return wave_.get(); }
  TScreenManager* Screen() { return screen_.get(); }
  TMediaContext& Context() { return context_; }

private:
  TMediaContext context_;
  bool soundOn_ = true;
  std::unique_ptr<TScreenManager> screen_;
  std::unique_ptr<TWaveManager> wave_;
  std::unique_ptr<TVideoManager> video_;
  std::unique_ptr<TWmpManager> wmp_;
  std::unique_ptr<TOggManager> ogg_;
  std::unique_ptr<TCddaManager> cdda_;
  std::unique_ptr<TMidiManager> midi_;
};

}  // namespace nova
