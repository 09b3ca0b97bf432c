#include "media/cd_player.h"

namespace nova {

TCDP::TCDP(std::unique_ptr<TCdAudioDevice> device, std::vector<std::string> drives, std::function<uint32_t()> now)
    : device_(std::move(device)), drives_(std::move(drives)), now_(std::move(now)) {}

bool TCDP::Open(int driveIndex) {
  if (driveIndex < 0 || driveIndex >= static_cast<int>(drives_.size())) return false;
  if (!device_->Open(drives_[static_cast<size_t>(driveIndex)])) return false;
  device_id_ = 1;
  timerEnabled_ = true;
  lastTimer_ = now_();
  return true;
}

void TCDP::Close() {
  if (device_id_) device_->Close();
  device_id_ = 0;
  timerEnabled_ = false;
}

int TCDP::Mode() {
  if (!device_id_) return kNotReady;
  if (paused_) return kPaused;
  switch (device_->Mode()) {
    case TCdMode::Playing: return kPlaying;
    case TCdMode::Stopped: return kStopped;
    case TCdMode::Seeking: return kSeeking;
    case TCdMode::Open: return kOpen;
    case TCdMode::Other: return kNotReady;
  }
  return kNotReady;
}

bool TCDP::Ready() { return device_id_ && device_->Ready(); }
int TCDP::TrackCount() { return device_id_ ? device_->TrackCount() : 0; }

int TCDP::TrackLength(int track) {
  if (!device_id_) return 0;
  int s = device_->TrackLengthSeconds(track);
  return s < 0 ? 0 : s;
}

uint32_t TCDP::Position() { return device_id_ ? device_->Position() : 0; }
int TCDP::PositionInTrack() {
  uint32_t p = Position();
  return TmsfMinute(p) * 60 + TmsfSecond(p);
}

void TCDP::SetCurrentTrack(int track) {
  bool changed = track != currentTrack_;
  currentTrack_ = track;
  if (changed && OnSongChange) OnSongChange();
}

void TCDP::PlayFrom(uint32_t p) {
  if (!device_id_) return;
  if (p == 0) p = Position();
  SetCurrentTrack(TmsfTrack(p));
  // Run-continues: the consecutive run in the play list from the current index ends on
  // another track than the current one.
  int last = currentTrack_;
  if (currentIndex_ >= 0 && currentIndex_ < static_cast<int>(PlayList.size())) {
    size_t i = static_cast<size_t>(currentIndex_);
    last = PlayList[i];
    while (i + 1 < PlayList.size() && PlayList[i + 1] == PlayList[i] + 1) last = PlayList[++i];
  }
  runContinues_ = last != currentTrack_;
  int length = TrackLength(currentTrack_);
  int end = length - 1;
  device_->Play(p, MakeTmsf(currentTrack_, end / 60, end % 60, 0));
  timeNotified_ = false;
}

void TCDP::PlayEntry(int i) {
  if (i < 0 || i >= static_cast<int>(PlayList.size())) return;
  currentIndex_ = i;
  PlayFrom(MakeTmsf(PlayList[static_cast<size_t>(i)], 0, 0, 0));
  paused_ = false;
}

void TCDP::PlayAt(int track, int s) {
  if (!device_id_) return;
  PlayFrom(MakeTmsf(track, s / 60, s % 60, 0));
}

void TCDP::Seek(uint32_t p) {
  if (!device_id_) return;
  SetCurrentTrack(TmsfTrack(p));
  device_->Seek(p);
}

void TCDP::Stop() {
  if (!device_id_) return;
  device_->Stop();
  paused_ = false;
}

void TCDP::Rewind() {
  currentIndex_ = 0;
  if (!PlayList.empty()) Seek(MakeTmsf(PlayList[0], 0, 0, 0));
}

void TCDP::PlayCurrent() {
  if (paused_) PlayFrom(0);
  else PlayFrom(MakeTmsf(currentTrack_, 0, 0, 0));
  paused_ = false;
}

void TCDP::PlayNext() {
  if (currentIndex_ + 1 < static_cast<int>(PlayList.size())) PlayEntry(currentIndex_ + 1);
}

void TCDP::OnCompletion() {
  if (currentIndex_ + 1 < static_cast<int>(PlayList.size())) {
    PlayNext();
  } else if (RepeatPlay) {
    Rewind();
    PlayCurrent();
  } else {
    Rewind();  // ends stopped at the first entry
  }
}

void TCDP::Update() {
  if (device_id_ && device_->TakeCompletion()) OnCompletion();
  if (!timerEnabled_) return;
  uint32_t now = now_();
  while (timerEnabled_ && static_cast<int32_t>(now - lastTimer_) >= 200) {
    lastTimer_ += 200;
    StatusTick();
  }
}

void TCDP::StatusTick() {
  if (busy_ || !device_id_) return;
  busy_ = true;
  if (discFlag_) {
    if (!device_->Ready()) {
      discFlag_ = 0;
      PlayList.clear();
      if (OnCDExit) OnCDExit();
    }
  } else {
    currentTrack_ = 1;
    if (++pollCounter_ > 5) {
      pollCounter_ = 0;
      if (device_->Ready()) {
        discFlag_ = 1;
        currentIndex_ = 0;
        PlayList.clear();
        for (int t = 1, n = TrackCount(); t <= n; ++t) PlayList.push_back(t);
        if (OnCDInsert) OnCDInsert();
      } else {
        busy_ = false;
        return;
      }
    }
  }
  if (discFlag_ && Mode() == kPlaying) {
    uint32_t p = Position();
    if (runContinues_ && TmsfTrack(p) != currentTrack_ && currentIndex_ + 1 < static_cast<int>(PlayList.size()) &&
        PlayList[static_cast<size_t>(currentIndex_ + 1)] == currentTrack_ + 1) {
      ++currentIndex_;
      SetCurrentTrack(TmsfTrack(p));
    }
    int into = TmsfMinute(p) * 60 + TmsfSecond(p);
    if (IntroPlay && into > IntroTime) OnCompletion();
    if (NotifyAt > 0 && !timeNotified_ && into >= NotifyAt) {
      timeNotified_ = true;
      if (OnTime) OnTime();
    }
  }
  busy_ = false;
}

}  // namespace nova
