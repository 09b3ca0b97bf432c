#pragma once
// The CD player (TCDP): a play list of track numbers on a CD audio device, following the
// device's completion to go on, repeat or rewind, and polling the drive every 200 ms to notice
// a disc being inserted or removed. Everything runs on the main thread: Update (called every
// frame) delivers the completions and runs the status timer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/cd_device.h"

namespace nova {

enum TCdpTimeMode { cdpTrackPast, cdpTrackLeft, cdpTotalPast, cdpTotalLeft, cdpNone };

class TCDP {
public:
  // Mode codes.
  static constexpr int kPlaying = 0, kStopped = 1, kPaused = 2, kSeeking = 3, kNotReady = 4, kOpen = 5;

  TCDP(std::unique_ptr<TCdAudioDevice> device, std::vector<std::string> drives, std::function<uint32_t()> now);

  bool Open(int driveIndex);
  void Close();
  bool HasDevice() const { return device_id_ != 0; }
  int Mode();
  bool Ready();
  int TrackCount();
  int TrackLength(int track);  // whole seconds; 0 when the query fails
  uint32_t Position();         // TMSF
  int PositionInTrack();       // seconds

  void PlayFrom(uint32_t p);
  void PlayEntry(int i);
  void PlayAt(int track, int seconds);
  void Seek(uint32_t p);
  void Stop();
  void Rewind();
  void PlayCurrent();
  void PlayNext();

  // The completion notification and the 200 ms status timer.
  void Update();
  void OnCompletion();
  void StatusTick();

  std::vector<int> PlayList;
  bool RepeatPlay = false;
  bool IntroPlay = false;
  int IntroTime = 10;
  int NotifyAt = 0;
  int Seconds = 3;
  bool ShufflePlay = false;
  std::string TimeFormat = "%.2d:%.2d";
  TCdpTimeMode TimeMode = cdpTrackPast;
  std::function<void()> OnCDInsert, OnCDExit, OnSongChange, OnTime;

  const std::vector<std::string>& Drives() const { return drives_; }
  int CurrentIndex() const { return currentIndex_; }
  int CurrentTrack() const { return currentTrack_; }
  bool Paused() const { return paused_; }
  bool TimerEnabled() const { return timerEnabled_; }
  TCdAudioDevice& Device() { return *device_; }

private:
  void SetCurrentTrack(int track);

  std::unique_ptr<TCdAudioDevice> device_;
  std::vector<std::string> drives_;
  std::function<uint32_t()> now_;
  uint16_t device_id_ = 0;
  int currentIndex_ = 0;
  int currentTrack_ = 1;
  bool paused_ = false, runContinues_ = false;
  int discFlag_ = 0, pollCounter_ = 0;
  bool busy_ = false, timerEnabled_ = false, timeNotified_ = false;
  uint32_t lastTimer_ = 0;
};

}  // namespace nova
