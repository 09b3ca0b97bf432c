// Ogg / WAV items: on the media library's voices, or decoded by it and mixed by the software
// mixer; and Windows Media sound items.
#include <algorithm>

#include "base/encoding.h"
#include "base/error.h"
#include "media/media_item_kinds.h"

namespace nova {
namespace {

const std::string& BadSoundText() {
  static const std::string text = Utf8ToSjis("サウンドデータが不正です");
  return text;
}

bool IsOggName(const std::string& name) { return MediaExtension(name) == ".ogg"; }

// The library's decoding stream seen as a stream of PCM bytes (what the mixer reads).
class TOggDecodeStream : public TStream {
public:
  explicit TOggDecodeStream(int32_t handle) : handle_(handle) {}
  int64_t Read(void* buffer, int64_t count) override {
    return novaOggStrRead(handle_, buffer, static_cast<int32_t>(std::min<int64_t>(count, 1 << 30)));
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? novaOggStrGetPos(handle_) : Size();
    if (origin == SeekOrigin::Current && offset == 0) return base;
    return novaOggStrSetPos(handle_, base + offset);
  }
  int64_t Size() override { return novaOggStrGetSize(handle_); }

private:
  int32_t handle_;
};

}  // namespace

int32_t TCustomOggItem::EffectiveVolume(bool repeating) const {
  return std::max(-10000, volume_ + manager_.Context().UserOffset(repeating));
}

// --- TOggItem ---

TOggItem::TOggItem(TMediaManager& manager, const std::string& fileName) : TCustomOggItem(manager, fileName) {
  stream_ = manager.Context().OpenStream(fileName);
  handle_ = novaOggmanAdd(stream_.get(), ToNovaBool(IsOggName(fileName)));
  if (!handle_) RaiseError(BadSoundText());
  novaOggSetVol(handle_, EffectiveVolume(false));
}

TOggItem::~TOggItem() {
  novaOggmanDel(handle_);
  stream_.reset();
}

bool TOggItem::GetAutoRepeat() { return novaOggGetAutoRepeat(handle_) != 0; }
void TOggItem::SetAutoRepeat(bool on) {
  novaOggSetAutoRepeat(handle_, ToNovaBool(on));
  novaOggSetVol(handle_, EffectiveVolume(on));
}
int32_t TOggItem::GetRepeatPos() { return novaOggGetRepeatPos(handle_); }
void TOggItem::SetRepeatPos(int32_t ms) { novaOggSetRepeatPos(handle_, ms); }
void TOggItem::SetPan(int32_t pan) {
  pan_ = std::clamp(pan, -10000, 10000);
  novaOggSetPan(handle_, pan_);
}
void TOggItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  novaOggSetVol(handle_, EffectiveVolume(GetAutoRepeat()));
}
int32_t TOggItem::GetPosition() { return novaOggGetPosition(handle_); }
void TOggItem::SetPosition(int32_t ms) {
  novaOggSetPosition(handle_, std::max(0, ms));
  ended_ = false;
}
int32_t TOggItem::GetLen() { return novaOggGetLen(handle_); }
bool TOggItem::IsEnd() {
  if (!ended_ && novaOggIsEnd(handle_)) ended_ = true;  // latched until the position is set
  return ended_;
}
bool TOggItem::IsPlaying() { return novaOggIsPlaying(handle_) != 0 && !paused_; }
bool TOggItem::IsPaused() { return paused_; }
void TOggItem::Play() {
  if (!manager_.Enabled()) {
    PendingPlay = true;
    return;
  }
  paused_ = false;
  if (ended_) ended_ = false;
  novaOggPlay(handle_);
}
void TOggItem::Pause() {
  PendingPlay = false;  // a pause given while sound is off outlasts the switch
  paused_ = true;
  novaOggPause(handle_);
}

// --- TOggWaveItem ---

TOggWaveItem::TOggWaveItem(TMediaManager& manager, TWavOut& wavOut, const std::string& fileName)
    : TCustomOggItem(manager, fileName), wavOut_(wavOut) {
  if (!wavOut_.IsOpen()) wavOut_.Open();
  stream_ = manager.Context().OpenStream(fileName);
  decoder_ = novaOggStrmanAdd(stream_.get(), ToNovaBool(IsOggName(fileName)));
  if (!decoder_ || !novaOggStrGetFormat(decoder_, &format_)) {
    if (decoder_) novaOggStrmanDel(decoder_);
    RaiseError(BadSoundText());
  }
  source_ = wavOut_.AddSource(format_, std::make_unique<TOggDecodeStream>(decoder_));
  SetVol(0);
}

TOggWaveItem::~TOggWaveItem() {
  wavOut_.RemoveSource(source_);  // the feeding thread no longer reads it
  novaOggStrmanDel(decoder_);
  stream_.reset();
}

int64_t TOggWaveItem::BytesPerMsTimes(int64_t ms) const { return BytesOfMs(format_, ms); }

void TOggWaveItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  source_->SetRepeat(on);
  SetVol(volume_);
}

int32_t TOggWaveItem::GetRepeatPos() { return repeatPos_; }

void TOggWaveItem::SetRepeatPos(int32_t ms) {
  repeatPos_ = std::max(0, ms);
  source_->SetRepeatPosition(BytesPerMsTimes(repeatPos_));
}

void TOggWaveItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  int v = ((std::max(volume_, -5000) + 5000) * 256) / 5000;
  int percent = std::clamp(repeat_ ? manager_.Context().MusicVolume : manager_.Context().SoundVolume, 0, 100);
  source_->SetVolume(v * percent / 100);  // the user's share; 100 % leaves the mixer's value
}

int32_t TOggWaveItem::GetPosition() {
  int64_t perSecond = BytesPerMsTimes(1000);
  return perSecond > 0 ? static_cast<int32_t>(source_->PlayedPosition() * 1000 / perSecond) : 0;
}

void TOggWaveItem::SetPosition(int32_t ms) { source_->SetReadPosition(BytesPerMsTimes(std::max(0, ms))); }

int32_t TOggWaveItem::GetLen() { return novaOggStrGetLen(decoder_); }

bool TOggWaveItem::IsEnd() {
  if (!source_->IsFinished()) return false;
  if (repeat_ && wavOut_.IsOpen()) {
    source_->Start();  // a repeating sound that ran out starts again
    return false;
  }
  return true;
}

bool TOggWaveItem::IsPlaying() { return source_->Playing() && !source_->Paused() && !source_->IsFinished(); }
bool TOggWaveItem::IsPaused() { return source_->Paused(); }

void TOggWaveItem::Play() {
  if (!manager_.Enabled()) {
    PendingPlay = true;
    return;
  }
  source_->Start();
}

void TOggWaveItem::Pause() {
  PendingPlay = false;
  source_->Stop();
}

// --- TWmpItem ---

TWmpItem::TWmpItem(TMediaManager& manager, const std::string& fileName) : TCustomOggItem(manager, fileName) {
  std::string data = manager.Context().ReadAll(fileName);
  handle_ = novaWmpmanAdd(data.data(), static_cast<int32_t>(data.size()));
  if (handle_) novaWmpSetVol(handle_, EffectiveVolume(true));
}

TWmpItem::~TWmpItem() {
  if (handle_) novaWmpmanDel(handle_);
}

bool TWmpItem::GetAutoRepeat() { return novaWmpGetAutoRepeat(handle_) != 0; }
void TWmpItem::SetAutoRepeat(bool on) { novaWmpSetAutoRepeat(handle_, ToNovaBool(on)); }
void TWmpItem::SetPan(int32_t pan) {
  pan_ = std::clamp(pan, -10000, 10000);
  novaWmpSetPan(handle_, pan_);
}
void TWmpItem::SetVol(int32_t vol) {
  volume_ = std::clamp(vol, -10000, 0);
  novaWmpSetVol(handle_, EffectiveVolume(true));  // Windows Media sound counts as music
}
int32_t TWmpItem::GetPosition() { return novaWmpGetPosition(handle_); }
void TWmpItem::SetPosition(int32_t ms) { novaWmpSetPosition(handle_, std::max(0, ms)); }
int32_t TWmpItem::GetLen() { return novaWmpGetLen(handle_); }
bool TWmpItem::IsEnd() { return handle_ ? novaWmpIsEnd(handle_) != 0 : true; }
bool TWmpItem::IsPlaying() { return novaWmpIsPlaying(handle_) != 0 && !paused_; }
bool TWmpItem::IsPaused() { return paused_; }
void TWmpItem::Play() {
  if (!manager_.Enabled()) {
    PendingPlay = true;
    return;
  }
  paused_ = false;
  novaWmpPlay(handle_);
}
void TWmpItem::Pause() {
  PendingPlay = false;
  paused_ = true;
  novaWmpPause(handle_);
}

}  // namespace nova
