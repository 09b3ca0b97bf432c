#pragma once
// The film player (TFilmManager): loads a film file and, when asked to show frame n, brings
// every track's display object (or sound) into the state of frame n. Three settings:
//  - control mode: a motion plays the film on one existing control (the driven control);
//  - anchored mode: a cinema plays it into the game scene, creating objects under itself;
//  - scene mode: a cinema plays it into its private scene, on that scene's two screens, with
//    transition tracks switching the screens.
// Time runs at 60 frames per second.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/geometry.h"

namespace nova {

class TCustomFrameList;
class TNovaBaseList;
class TNovaControl;
struct TComponentServices;
struct TFilmFile;

class TFilmManager {
public:
  explicit TFilmManager(const TComponentServices& services);
  ~TFilmManager();
  TFilmManager(const TFilmManager&) = delete;
  TFilmManager& operator=(const TFilmManager&) = delete;

  // ---- set-up by the owner ----
  // Control mode (a motion): the driven control, the origin of a relative film and the
  // control's priority recorded at the motion's first step.
  void SetControlMode(TNovaControl* driven);
  bool ControlMode() const { return driven_ != nullptr; }
  TNovaControl* Driven() const { return driven_; }
  void SetOrigin(TPoint origin) { origin_ = origin; }
  TPoint Origin() const { return origin_; }
  void SetControlPriority(int32_t priority) { controlPriority_ = priority; }
  int32_t ControlPriority() const { return controlPriority_; }
  // A cinema: the scene objects are created in (its private scene in scene mode, the game
  // scene in anchored mode), the anchor (anchored mode only) and the game scene that holds
  // the sound objects.
  void SetScene(TNovaBaseList* scene) { scene_ = scene; }
  TNovaBaseList* Scene() const { return scene_; }
  void SetAnchor(TNovaControl* anchor) { anchor_ = anchor; }
  TNovaControl* Anchor() const { return anchor_; }
  void SetSoundScene(TNovaBaseList* scene) { soundScene_ = scene; }
  TNovaBaseList* SoundScene() const { return soundScene_ ? soundScene_ : scene_; }
  // Scales every sound track (1000 = unchanged); set before loading.
  void SetVolume(int32_t volume) { volume_ = volume; }
  int32_t Volume() const { return volume_; }

  // ---- loading ----
  // Reads the whole file through the game's file space. A file that does not start with a
  // signature gives an empty film; an unreadable film (ENovaError) leaves the film empty and
  // raises, for the owner to report.
  void LoadFilm(const std::string& name);
  void ReadFilm(std::span<const uint8_t> bytes, const std::string& name);
  // Frees every track; loop start 0, design origin (0, 0), relative off.
  void Clear();

  // ---- the film ----
  int32_t FilmFrameCount() const { return frameCount_; }
  int32_t LoopStart() const { return loopStart_; }
  bool Relative() const { return relative_; }
  TPoint DesignOrigin() const { return designOrigin_; }
  TPoint SceneSize() const { return sceneSize_; }
  int32_t BackColor() const { return backColor_; }
  // A transition track or a track with the other-screen flag (a cinema then plays the film,
  // or one with a background colour >= 0, into its private scene).
  bool NeedsOwnScene() const;
  int TrackCount() const;
  TCustomFrameList* Track(int i) const;
  // The first track (in file order) whose absolute start is 0, or null.
  TCustomFrameList* FirstTrackAtStart() const;

  // ---- playing ----
  // Scene mode only: the scene's size and both screens' colour from the film; then every
  // sound track creates its sound. Called once after loading.
  void StartFilm();
  void ShowFrame(int32_t n);
  int32_t CurrentFrame() const { return currentFrame_; }
  void SetRunning(bool running);
  bool Running() const { return running_; }
  void SetFilmPaused(bool paused);
  bool FilmPaused() const { return paused_; }

  const TComponentServices& Services() const { return services_; }
  // The services as the created objects keep them (the film itself never changes them).
  TComponentServices& MutableServices() const;

  // ---- what the tracks ask ----
  // Scene mode: a cinema's private scene (neither a driven control nor an anchor).
  bool SceneMode() const { return !driven_ && !anchor_ && scene_; }
  // What positions are moved by: (origin - design origin) for a relative film in control
  // mode, else (0, 0).
  TPoint RelativeShift() const;
  // Scene mode: the screen (0 or 1) the objects of a track go on.
  int ScreenOf(const TCustomFrameList& track) const;
  // The parity of the screens at frame n: transition tracks that have reached their last
  // frame, counted modulo 2.
  int ScreenParity(int64_t n) const;
  // The name prefix of created objects ("\001" + the anchor's name + "\001" anchored, else
  // "\001"): system names, never saved.
  std::string CreatedPrefix() const;

private:
  // Scene mode: the screen transition of frame n from the transition tracks.
  void ShowTransitions(int32_t n);
  std::vector<TCustomFrameList*> wipes_;
  uint64_t transitionSerial_ = 0;  // the scene's transition this film started
  const TComponentServices& services_;
  std::vector<std::unique_ptr<TCustomFrameList>> tracks_;
  TPoint sceneSize_{640, 480};
  int32_t backColor_ = -1;
  bool relative_ = false;
  TPoint designOrigin_;
  int32_t loopStart_ = 0;
  int32_t frameCount_ = 0;
  int32_t currentFrame_ = 0;
  const TCustomFrameList* lastWipe_ = nullptr;
  bool running_ = true;
  bool paused_ = false;
  int32_t volume_ = 1000;
  TNovaBaseList* scene_ = nullptr;
  TNovaBaseList* soundScene_ = nullptr;
  TNovaControl* anchor_ = nullptr;
  TNovaControl* driven_ = nullptr;
  TPoint origin_;
  int32_t controlPriority_ = 0;
};

}  // namespace nova
