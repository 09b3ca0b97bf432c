#pragma once
// The concrete media items, each backed by its service: the media library's voices (Ogg/WAV
// with the direct sound device, Windows Media sound, movies), the software mixer (Ogg/WAV
// without it), the MIDI sequencer and the CD player.
#include <memory>
#include <string>

#include "media/media_managers.h"
#include "media/novadll.h"

namespace nova {

class TCustomOggItem : public TDMediaItem {
public:
  using TDMediaItem::TDMediaItem;
  int32_t GetVol() override { return volume_; }
  int32_t GetPan() override { return pan_; }

protected:
  // The scenario's volume with the user's: repeating sounds count as music.
  int32_t EffectiveVolume(bool repeating) const;
  int32_t volume_ = 0, pan_ = 0;
};

// Played by the media library's voices.
class TOggItem : public TCustomOggItem {
public:
  TOggItem(TMediaManager& manager, const std::string& fileName);
  ~TOggItem() override;
  bool GetAutoRepeat() override;
  void SetAutoRepeat(bool on) override;
  int32_t GetRepeatPos() override;
  void SetRepeatPos(int32_t ms) override;
  void SetPan(int32_t pan) override;
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override;
  void Play() override;
  void Pause() override;

private:
  std::unique_ptr<TStream> stream_;
  int32_t handle_ = 0;
  bool paused_ = false, ended_ = false;
};

// Decoded by the media library and mixed by the software mixer.
class TOggWaveItem : public TCustomOggItem {
public:
  TOggWaveItem(TMediaManager& manager, TWavOut& wavOut, const std::string& fileName);
  ~TOggWaveItem() override;
  bool GetAutoRepeat() override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetRepeatPos() override;
  void SetRepeatPos(int32_t ms) override;
  void SetPan(int32_t pan) override { pan_ = pan; }  // the mixer has no pan
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override;
  void Play() override;
  void Pause() override;
  TWavBuffer* Source() { return source_; }

private:
  int64_t BytesPerMsTimes(int64_t ms) const;
  TWavOut& wavOut_;
  std::unique_ptr<TStream> stream_;
  int32_t decoder_ = 0;
  TWavBuffer* source_ = nullptr;
  TPcmFormatRecord format_;
  bool repeat_ = false;
  int32_t repeatPos_ = 0;
};

class TWmpItem : public TCustomOggItem {
public:
  TWmpItem(TMediaManager& manager, const std::string& fileName);
  ~TWmpItem() override;
  bool GetAutoRepeat() override;
  void SetAutoRepeat(bool on) override;
  void SetPan(int32_t pan) override;
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override;
  void Play() override;
  void Pause() override;

private:
  int32_t handle_ = 0;
  bool paused_ = false;
};

class TMidiItem : public TDMediaItem {
public:
  TMidiItem(TMidiManager& manager, const std::string& fileName);
  ~TMidiItem() override;
  bool GetAutoRepeat() override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetVol() override { return volume_; }
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override { return paused_; }
  void Play() override;
  void Pause() override;
  // Applies the volume to the sequencer (the current item only).
  void ApplyVolume();

private:
  bool IsCurrent() const;
  TMidiManager& midi_;
  std::string data_;
  bool loaded_ = false, dataRead_ = false;
  bool repeat_ = false, paused_ = false;
  int32_t volume_ = 0, saved_ = 0, length_ = -1;
};

class TCddaItem : public TDMediaItem {
public:
  TCddaItem(TCddaManager& manager, const std::string& fileName);
  ~TCddaItem() override;
  bool GetAutoRepeat() override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetVol() override { return volume_; }
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override { return paused_; }
  void Play() override;
  void Pause() override;
  int Track() const { return track_; }

private:
  bool IsCurrent() const;
  void Select();
  TCddaManager& cd_;
  int track_ = 0;  // 0: no number, no effect
  bool repeat_ = false, paused_ = false;
  int32_t volume_ = 0, saved_ = 0, length_ = -1;
};

// Movies of the media library.
class TDsVideoItem : public TVideoItem {
public:
  TDsVideoItem(TVideoManager& manager, const std::string& fileName, bool drawToSurface);
  ~TDsVideoItem() override;
  bool GetAutoRepeat() override;
  void SetAutoRepeat(bool on) override;
  int32_t GetPan() override;
  int32_t GetVol() override;
  void SetPan(int32_t pan) override;
  void SetVol(int32_t vol) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLen() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override;
  void Play() override;
  void Pause() override;
  int GetSourceHeight() override;
  int GetSourceWidth() override;
  bool GetVisible() override;
  void SetVisible(bool on) override;
  bool NeedPaint() override;
  void SetRect(const TRect& source, const TRect& dest) override;
  TCustomDIBX* GetDC() override;
  void ClearNewFrame() override;
  bool Opened() const { return handle_ != 0; }

protected:
  std::unique_ptr<TStream> stream_;
  int32_t handle_ = 0;
  int32_t volume_ = 0;
};

// The movie of the platform's media player control: here the same decoding, always into the
// item's surface (the frame grabber of the original).
class TWmVideoItem : public TDsVideoItem {
public:
  TWmVideoItem(TVideoManager& manager, const std::string& fileName) : TDsVideoItem(manager, fileName, true) {}
};

}  // namespace nova
