#pragma once
// Films for the player tests: tracks with the authoring defaults, written by the film writer
// into the component scene's archive; the scene's services make real motions.
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "../component_fixtures.h"
#include "components/films/film_manager.h"
#include "components/films/frame_list.h"
#include "components/films/nova_motion.h"
#include "formats/film_file.h"
#include "objects/nova_prop_motion.h"

namespace nova::test {

inline TFilmTrack Track(int type, int32_t start, int32_t duration, const std::string& file = {}) {
  TFilmTrack t = NewFilmTrack(type);
  t.Start = start;
  t.Duration = duration;
  t.File = file;
  return t;
}

inline TFilmFile Film(std::vector<TFilmTrack> tracks, int32_t loopStart = 0) {
  TFilmFile f;
  f.Tracks = std::move(tracks);
  f.LoopStart = loopStart;
  return f;
}

inline std::string FilmBytes(const TFilmFile& film) {
  const std::vector<uint8_t> bytes = WriteFilmFile(film);
  return std::string(bytes.begin(), bytes.end());
}

inline std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// The component scene with motions and a 4 x 4 red picture "p.bri" (two frames of 100 ms
// when asked).
struct FilmScene : ComponentScene {
  FilmScene() {
    services.MakeMotion = NovaMotionMaker(services);
    AddFile("p.bri", BriBytes({Solid(4, 4, 0xFF0000)}));
    AddFile("two.bri", BriBytes({Solid(4, 4, 0xFF0000, 100), Solid(6, 2, 0x00FF00, 50)}));
    AddFile("blue.bri", BriBytes({Solid(64, 48, 0x0000FF)}));
    AddFile("red.bri", BriBytes({Solid(64, 48, 0xFF0000)}));
  }
  void AddFilm(const std::string& name, const TFilmFile& film) { AddFile(name, FilmBytes(film)); }
  // An object of a type code with a motion film as its source; the film of its motion.
  template <class T>
  T* Driven(int type, const std::string& film, std::vector<std::pair<int, TPropValue>> props = {}) {
    props.emplace_back(PR_SOURCE, Str(film));
    return Create<T>(type, "driven", props);
  }
  int32_t Get(TNovaObject& o, int id) { return ReadProperty(o, id).Int; }
};

// The motion of a motion-carrying control.
template <class T>
TNovaMotion* MotionOf(T& control) {
  return dynamic_cast<TNovaMotion*>(control.Motion());
}

// Milliseconds of step k so that the elapsed time after k steps is k frames exactly.
inline uint32_t StepMs(int k) {
  auto at = [](int i) { return static_cast<int64_t>(std::nearbyint(i * 1000.0 / 60)); };
  return static_cast<uint32_t>(at(k) - at(k - 1));
}

}  // namespace nova::test
