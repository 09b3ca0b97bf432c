#pragma once
// TNovaCinema (LT_CINEMA, "シネマサーフェス"): a rectangle that plays a cinema film.
//  - scene mode (the film has transitions or other-screen tracks, or a background colour):
//    the film plays into the cinema's private scene, whose displayed screen the cinema shows
//    through its rectangle;
//  - anchored mode (any other film): the film creates its objects in the game scene as
//    children of the cinema (system names, never saved), and the cinema takes the film's size.
// The cinema's width and height are its private scene's. Time runs at 60 frames per second;
// the first two updates after a (re)start hold frame 0 so the first frame is seen whole.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component_services.h"
#include "objects/nova_control.h"

namespace nova {

class TDIBX;
class TFilmManager;
class TNovaBaseList;

class TNovaCinema : public TNovaControl {
public:
  static constexpr int32_t kFrameRate = 60;

  TNovaCinema(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaCinema() override;
  uint8_t TypeCode() const override { return LT_CINEMA; }

  void SetSource(const std::string& name);
  const std::string& Source() const { return source_; }
  TFilmManager* Film() const { return film_.get(); }
  TNovaBaseList& PrivateScene() const { return *private_; }
  bool SceneMode() const { return sceneMode_; }
  bool Ended() const { return ended_; }
  int32_t ElapsedMs() const { return elapsed_; }
  int32_t Volume() const { return volume_; }
  // The current frame (PR_INDEX), 0 without a film.
  int32_t CurrentFrame() const;
  int32_t FrameCount() const;

  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  // The screens' surfaces were made anew (another depth): the private scene follows and the
  // film shows its frame again.
  void SurfacesReallocated();
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  // The private scene (and the surface it paints into) at the cinema's size.
  void ResizePrivateScene();
  void SetIndex(int32_t index);
  void TellFilmPaused();
  bool HasFile(const std::string& name) const;

  TComponentServices& services_;
  std::unique_ptr<TNovaBaseList> private_;
  std::unique_ptr<TDIBX> privateBack_;  // the private displayed screen's picture
  std::unique_ptr<TFilmManager> film_;
  bool sceneMode_ = false;
  std::string source_;
  int32_t elapsed_ = 0;
  bool repeat_ = false, paused_ = false, autoScrap_ = false;
  std::string onPlayEnd_, onIdle_;
  bool ended_ = false;
  int32_t startup_ = 2;
  int32_t volume_ = 1000;
  bool rewindOnLoad_ = false, muteOnLoad_ = false;
  // The private scene is painted once per update (or change), however many of the game
  // screen's dirty rectangles the cinema is painted for.
  uint64_t changes_ = 1, paintedAt_ = 0;
};

}  // namespace nova
