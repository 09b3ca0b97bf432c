#pragma once
// Media items: every sound, piece of music, CD track and movie a scenario plays, with one
// uniform set of operations. Items are made and owned by the manager of their kind
// (media_managers.h); the sound and video objects drive them through these operations.
#include <cstdint>
#include <memory>
#include <string>

#include "base/geometry.h"
#include "base/stream.h"
#include "render/dibx.h"

namespace nova {

class TMediaManager;

// The base: every getter gives 0 / false, every setter does nothing.
class TDMediaItem {
public:
  TDMediaItem(TMediaManager& manager, std::string fileName);
  virtual ~TDMediaItem();
  TDMediaItem(const TDMediaItem&) = delete;
  TDMediaItem& operator=(const TDMediaItem&) = delete;

  virtual bool GetAutoRepeat() { return false; }
  virtual void SetAutoRepeat(bool) {}
  virtual int32_t GetRepeatPos() { return 0; }  // ms (Ogg items only)
  virtual void SetRepeatPos(int32_t) {}
  virtual int32_t GetPan() { return 0; }  // -10000..10000
  virtual int32_t GetVol() { return 0; }  // -10000..0, hundredths of a decibel
  virtual void SetPan(int32_t) {}
  virtual void SetVol(int32_t) {}
  virtual int32_t GetPosition() { return 0; }  // ms
  virtual void SetPosition(int32_t) {}
  virtual int32_t GetLen() { return 0; }  // ms
  virtual bool IsEnd() { return false; }
  virtual void Reserved() {}  // an operation no item overrides
  virtual bool IsPlaying() { return false; }
  virtual bool IsPaused() { return false; }
  virtual void Play() {}
  virtual void Pause() {}

  TMediaManager& Manager() { return manager_; }
  const std::string& FileName() const { return fileName_; }
  bool SuspendedByManager = false;  // paused by the manager's suspension
  bool PendingPlay = false;         // Play was called while the manager was disabled (Pause takes it back)

protected:
  TMediaManager& manager_;
  std::string fileName_;
};

class TVideoItem : public TDMediaItem {
public:
  using TDMediaItem::TDMediaItem;
  virtual int GetSourceHeight() { return 0; }
  virtual int GetSourceWidth() { return 0; }
  virtual bool GetVisible() { return false; }
  virtual void SetVisible(bool) {}
  virtual bool NeedPaint() { return false; }
  // The overlay's source rectangle in the movie and its place in the shown picture.
  virtual void SetRect(const TRect& /*source*/, const TRect& /*dest*/) {}
  // The surface holding the current frame (32 bits), or null.
  virtual TCustomDIBX* GetDC() { return nullptr; }
  virtual void ClearNewFrame() {}
};

// Where a name leads: a name that begins with a path delimiter, or has ":" as its second
// character, is a file on the user's disk; any other name is a game file of the file manager.
bool IsAbsoluteMediaName(const std::string& name);
// The lower-cased extension of a game name ("", ".ogg", ...).
std::string MediaExtension(const std::string& name);

}  // namespace nova
