#pragma once
// The splash: before the game's first page runs, the window plays the player's own short logo
// film in a cinema centred on the displayed screen. While the cinema lives the interpreter does
// not run; a left click, Space or Return skips it, and it removes itself when it ends. The
// film's bytes live in a memory archive of their own for as long as the splash plays.
#include <cstdint>
#include <span>
#include <string>

#include "objects/nova_object.h"

namespace nova {

class TNovaBaseList;
class TVrFileCollection;
class TVrFileManager;

class TSplash {
public:
  // The name the film has in the game's file space while it plays.
  static const char* const kFilmName;

  TSplash(TNovaBaseList& scene, TVrFileManager& files, std::span<const uint8_t> film);
  ~TSplash();
  TSplash(const TSplash&) = delete;
  TSplash& operator=(const TSplash&) = delete;

  // The frame's splash step (in place of the interpreter's pass); true once the splash is
  // over: the cinema has gone and the film's archive is removed. The interpreter runs from
  // the next frame on.
  bool Step();
  bool Done() const { return done_; }
  // The splash cinema while it plays, else null.
  TNovaObject* Cinema() const;

private:
  void Start();
  void Finish();
  void RemoveArchive();

  TNovaBaseList& scene_;
  TVrFileManager& files_;
  std::string film_;
  TVrFileCollection* archive_ = nullptr;  // owned by the file manager while registered
  TObjectRef cinema_;
  bool started_ = false, done_ = false;
};

}  // namespace nova
