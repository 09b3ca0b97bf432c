// MIDI items (one sequencer, one current item at a time) and CD items (one CD player).
#include <algorithm>
#include <cstdlib>

#include "base/error.h"
#include "media/media_item_kinds.h"

namespace nova {

// --- MIDI ---

TMidiItem::TMidiItem(TMidiManager& manager, const std::string& fileName) : TDMediaItem(manager, fileName), midi_(manager) {}

TMidiItem::~TMidiItem() {
  if (IsCurrent()) {
    midi_.Sequencer().Stop();
    midi_.SetCurrent(nullptr);
  }
}

bool TMidiItem::IsCurrent() const { return midi_.Current() == this; }

void TMidiItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (IsCurrent()) midi_.Sequencer().SetRepeat(on);
}

void TMidiItem::ApplyVolume() {
  if (!IsCurrent()) return;
  int percent = volume_ / 100 + 100;
  percent = percent * std::clamp(midi_.Context().MusicVolume, 0, 100) / 100;
  midi_.Sequencer().SetControllerScale(7, percent);
}

void TMidiItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  ApplyVolume();
}

int32_t TMidiItem::GetPosition() { return IsCurrent() ? midi_.Sequencer().Position() : 0; }

void TMidiItem::SetPosition(int32_t ms) {
  saved_ = std::max(0, ms);
  if (IsCurrent() && midi_.Sequencer().IsPlaying()) midi_.Sequencer().PlayFrom(saved_);
}

int32_t TMidiItem::GetLen() {
  if (length_ < 0) {
    // The length of the file read once on its own (a file that cannot be read: 0).
    length_ = 0;
    try {
      TKtMemoryStream data(midi_.Context().ReadAll(fileName_));
      TMidiV file;
      if (file.LoadFromStream(data)) length_ = file.LengthMs();
    } catch (const ENovaError&) {
    }
  }
  return length_;
}

bool TMidiItem::IsEnd() { return IsCurrent() && midi_.Sequencer().IsEnded(); }
bool TMidiItem::IsPlaying() { return IsCurrent() && midi_.Sequencer().IsPlaying() && !paused_; }

void TMidiItem::Play() {
  if (!midi_.Enabled()) {
    PendingPlay = true;
    return;
  }
  TMidiPlayV& seq = midi_.Sequencer();
  if (!IsCurrent()) {
    if (!dataRead_) {
      dataRead_ = true;
      try {
        data_ = midi_.Context().ReadAll(fileName_);
      } catch (const ENovaError&) {
        data_.clear();  // unreadable: reports length 0 and does not play
      }
    }
    TKtMemoryStream stream(data_);
    if (!seq.LoadFromStream(stream)) return;
  }
  if (!seq.Opened() && !seq.Open(midi_.PortIndex() - 1)) return;
  seq.SendMasterVolumeReset();
  midi_.SetCurrent(this);
  seq.SetRepeat(repeat_);
  seq.PlayFrom(saved_);
  paused_ = false;
  ApplyVolume();
}

void TMidiItem::Pause() {
  PendingPlay = false;  // a pause given while sound is off outlasts the switch
  if (IsCurrent()) {
    saved_ = midi_.Sequencer().Position();
    midi_.Sequencer().Stop();
  }
  paused_ = true;
}

// --- CD ---

TCddaItem::TCddaItem(TCddaManager& manager, const std::string& fileName) : TDMediaItem(manager, fileName), cd_(manager) {
  // The track number is the text after "CD_".
  std::string rest = fileName.size() > 3 ? fileName.substr(3) : std::string();
  char* end = nullptr;
  long n = std::strtol(rest.c_str(), &end, 10);
  if (end != rest.c_str() && n > 0 && n < 100) track_ = static_cast<int>(n);
}

TCddaItem::~TCddaItem() {
  if (!IsCurrent()) return;
  TCDP& p = cd_.Player();
  int mode = p.Mode();
  if (mode == TCDP::kPlaying || mode == TCDP::kPaused) p.Stop();
  p.Close();
  cd_.SetCurrent(nullptr);
}

bool TCddaItem::IsCurrent() const { return cd_.Current() == this; }

void TCddaItem::Select() {
  if (IsCurrent() || track_ == 0) return;
  TCDP& p = cd_.Player();
  int mode = p.Mode();
  if (mode == TCDP::kPlaying || mode == TCDP::kPaused) p.Stop();
  cd_.SetCurrent(this);
  if (!p.HasDevice() && !cd_.OpenDevice()) return;
  if (p.TrackCount() < track_) {
    cd_.SetCurrent(nullptr);
    return;
  }
  p.RepeatPlay = repeat_;
  p.PlayList = {track_};
  length_ = p.TrackLength(track_) * 1000;
}

void TCddaItem::Play() {
  if (!cd_.Enabled()) {
    PendingPlay = true;
    return;
  }
  if (track_ == 0) return;
  Select();
  TCDP& p = cd_.Player();
  if (!p.HasDevice()) return;  // no device could be opened: the paused flag stays
  if (IsCurrent()) {
    p.PlayEntry(0);
    if (saved_ > 0) p.PlayAt(track_, saved_);
    SetVol(volume_);
  }
  paused_ = false;
}

void TCddaItem::Pause() {
  PendingPlay = false;
  if (IsCurrent() && cd_.Player().Mode() == TCDP::kPlaying) {
    saved_ = std::max(0, cd_.Player().PositionInTrack() - 1);
    cd_.Player().Stop();
  }
  paused_ = true;
}

bool TCddaItem::IsPlaying() { return IsCurrent() && cd_.Player().Mode() == TCDP::kPlaying; }
// The pause stops the player too: only a stop that was not a pause is the end of the track.
bool TCddaItem::IsEnd() { return IsCurrent() && !paused_ && cd_.Player().Mode() == TCDP::kStopped; }

int32_t TCddaItem::GetPosition() {
  if (IsCurrent() && cd_.Player().HasDevice()) return cd_.Player().PositionInTrack() * 1000;
  return 0;
}

void TCddaItem::SetPosition(int32_t ms) {
  if (IsCurrent() && cd_.Player().HasDevice() && !paused_) cd_.Player().PlayAt(track_, ms / 1000);
  else saved_ = std::max(0, ms / 1000);
}

int32_t TCddaItem::GetLen() {
  if (length_ >= 0) return length_;
  if (track_ == 0) return 0;
  TCDP& p = cd_.Player();
  if (!p.HasDevice() && !cd_.OpenDevice()) return 0;
  return p.TrackCount() >= track_ ? p.TrackLength(track_) * 1000 : 0;
}

void TCddaItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (IsCurrent() && cd_.Player().HasDevice()) cd_.Player().RepeatPlay = on;
}

void TCddaItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  if (!cd_.Player().HasDevice()) return;
  int64_t scale = std::max(volume_, -5000) + 5000;
  int percent = std::clamp(cd_.Context().MusicVolume, 0, 100);
  int left = static_cast<int>(scale * cd_.SavedLeft() / 5000 * percent / 100);
  int right = static_cast<int>(scale * cd_.SavedRight() / 5000 * percent / 100);
  cd_.Player().Device().SetLine(left, right);
}

// --- Movies ---

TDsVideoItem::TDsVideoItem(TVideoManager& manager, const std::string& fileName, bool drawToSurface)
    : TVideoItem(manager, fileName) {
  TMediaContext& ctx = manager.Context();
  std::string ext = MediaExtension(fileName);
  std::string hint = fileName;
  try {
    if ((ext == ".wmv" || ext == ".asf") && !IsAbsoluteMediaName(fileName)) {
      // Opened as a file of its own, as the original did.
      std::filesystem::path path = ctx.RealPath(fileName);
      if (!path.empty()) handle_ = novaVidmanAdd(path.c_str(), nullptr, ToNovaBool(drawToSurface));
    } else {
      stream_ = ctx.OpenStream(fileName);
      handle_ = novaVidmanAdd(hint.c_str(), stream_.get(), ToNovaBool(drawToSurface));
    }
  } catch (const ENovaError&) {
    handle_ = 0;  // a missing or undecodable movie plays nothing and is at its end
  }
  if (handle_) novaVideoSetVol(handle_, std::max(-10000, ctx.UserOffset(false)));
}

TDsVideoItem::~TDsVideoItem() {
  if (handle_) novaVidmanDel(handle_);
  stream_.reset();
}

bool TDsVideoItem::GetAutoRepeat() { return novaVideoGetAutoRepeat(handle_) != 0; }
void TDsVideoItem::SetAutoRepeat(bool on) { novaVideoSetAutoRepeat(handle_, ToNovaBool(on)); }
int32_t TDsVideoItem::GetPan() { return novaVideoGetPan(handle_); }
int32_t TDsVideoItem::GetVol() { return volume_; }
void TDsVideoItem::SetPan(int32_t pan) { novaVideoSetPan(handle_, pan); }
void TDsVideoItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  novaVideoSetVol(handle_, std::max(-10000, volume_ + manager_.Context().UserOffset(false)));
}
int32_t TDsVideoItem::GetPosition() { return novaVideoGetPosition(handle_); }
void TDsVideoItem::SetPosition(int32_t ms) { novaVideoSetPosition(handle_, ms); }
int32_t TDsVideoItem::GetLen() { return novaVideoGetLen(handle_); }
bool TDsVideoItem::IsEnd() { return handle_ ? novaVideoIsEnd(handle_) != 0 : true; }
bool TDsVideoItem::IsPlaying() { return novaVideoIsPlaying(handle_) != 0; }
bool TDsVideoItem::IsPaused() { return novaVideoIsPaused(handle_) != 0; }
void TDsVideoItem::Play() {
  if (!manager_.Enabled()) {
    PendingPlay = true;
    return;
  }
  novaVideoPlay(handle_);
}
void TDsVideoItem::Pause() {
  PendingPlay = false;
  novaVideoPause(handle_);
}
int TDsVideoItem::GetSourceHeight() { return novaVideoGetSourceHeight(handle_); }
int TDsVideoItem::GetSourceWidth() { return novaVideoGetSourceWidth(handle_); }
bool TDsVideoItem::GetVisible() { return novaVideoGetVisible(handle_) != 0; }
void TDsVideoItem::SetVisible(bool on) { novaVideoSetVisible(handle_, ToNovaBool(on)); }
bool TDsVideoItem::NeedPaint() { return novaVideoNeedPaint(handle_) != 0; }
void TDsVideoItem::SetRect(const TRect& source, const TRect& dest) { novaVideoSetRect(handle_, source, dest); }
TCustomDIBX* TDsVideoItem::GetDC() { return handle_ ? novaVideoGetDC(handle_) : nullptr; }
void TDsVideoItem::ClearNewFrame() {
  if (handle_) novaVideoGetDC(handle_);
}

}  // namespace nova
