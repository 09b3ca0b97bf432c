#pragma once
// The media managers: one per kind of item, each an ordered list of its items with an enabled
// flag (the global sound switch) and a suspended flag (the window lost the focus).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/vrfiles.h"
#include "media/cd_player.h"
#include "media/media_items.h"
#include "media/midi_player.h"
#include "media/wavouts.h"
#include "platform/platform.h"

namespace nova {

// What the managers share: the platform, the file manager, "game.ini" and the user's volumes.
struct TMediaContext {
  TPlatform& Platform;
  TVrFileManager& Files;
  bool UseDirectSound = true;  // [Sound] DirectSound
  int32_t DelayTime = 500;     // [Sound] DelayTime
  bool UseWMP = false;         // [Video] UseWMP
  std::filesystem::path GameFolder;
  int MusicVolume = 100, SoundVolume = 100;  // the user's percentages

  // The whole data of a game name or disk path; raises "%s:ファイルがありません" when missing.
  std::string ReadAll(const std::string& name);
  std::unique_ptr<TStream> OpenStream(const std::string& name);
  // A file on disk holding it (an archive entry is extracted), or empty.
  std::filesystem::path RealPath(const std::string& name);
  // The user's volume as a change of hundredths of a decibel (0 at 100 %, -10000 at 0 %).
  int32_t UserOffset(bool music) const;
};

class TMediaManager {
public:
  explicit TMediaManager(TMediaContext& context) : context_(context) {}
  virtual ~TMediaManager();
  TMediaManager(const TMediaManager&) = delete;
  TMediaManager& operator=(const TMediaManager&) = delete;

  // A new item appended to the list (errors of the item are raised).
  TDMediaItem* Add(const std::string& fileName);
  // Frees the item when it is in the list.
  void Remove(TDMediaItem* item);
  void Clear();
  virtual void Suspend();
  virtual void Resume();
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }
  bool Suspended() const { return suspended_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TDMediaItem* Item(int i) const { return items_[static_cast<size_t>(i)].get(); }
  TMediaContext& Context() { return context_; }

protected:
  virtual std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) = 0;
  TDMediaItem* Append(std::unique_ptr<TDMediaItem> item);
  TMediaContext& context_;
  std::vector<std::unique_ptr<TDMediaItem>> items_;
  bool enabled_ = true, suspended_ = false;
};

// Receives the switch calls; nothing makes items in it.
class TWaveManager : public TMediaManager {
public:
  using TMediaManager::TMediaManager;

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string&) override { return nullptr; }
};

class TOggManager : public TMediaManager {
public:
  explicit TOggManager(TMediaContext& context);
  ~TOggManager() override;
  void Restore();
  // The software mixer (made when the direct sound device is not used).
  TWavOut* WavOut() { return wavOut_.get(); }

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;

private:
  std::unique_ptr<TWavOut> wavOut_;
};

class TWmpManager : public TMediaManager {
public:
  using TMediaManager::TMediaManager;
  void Restore();

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;
};

class TMidiItem;

class TMidiManager : public TMediaManager {
public:
  explicit TMidiManager(TMediaContext& context);
  ~TMidiManager() override;
  TMidiPlayV& Sequencer() { return *sequencer_; }
  TMidiItem* Current() const { return current_; }
  void SetCurrent(TMidiItem* item) { current_ = item; }
  // "MIDIマッパー" followed by the system's MIDI output port names.
  const std::vector<std::string>& PortNames() const { return portNames_; }
  int PortIndex() const { return portIndex_; }
  std::string PortName() const;
  // Selects a port by name (no such port: nothing changes); a playing file goes on there.
  void SelectPort(const std::string& name);

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;

private:
  std::unique_ptr<TMidiPlayV> sequencer_;
  TMidiItem* current_ = nullptr;
  std::vector<std::string> portNames_;
  int portIndex_ = 0;
};

class TCddaItem;

class TCddaManager : public TMediaManager {
public:
  explicit TCddaManager(TMediaContext& context);
  ~TCddaManager() override;
  TCDP& Player() { return *player_; }
  TCddaItem* Current() const { return current_; }
  void SetCurrent(TCddaItem* item) { current_ = item; }
  // Opens the player's device when it has none: false when no drive holds tracks.
  bool OpenDevice();
  void SaveLevels();   // reads the CD line into the saved levels
  void WriteLevels();  // writes the saved levels back
  int SavedLeft() const { return savedLeft_; }
  int SavedRight() const { return savedRight_; }
  void Update();  // every frame: completions and the status timer

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;

private:
  std::unique_ptr<TCDP> player_;
  TCddaItem* current_ = nullptr;
  bool firstAttempt_ = true, lineFound_ = false;
  int keptDrive_ = -1;
  int savedLeft_ = 65535, savedRight_ = 65535;
};

class TVideoManager : public TMediaManager {
public:
  using TMediaManager::TMediaManager;
  TVideoItem* Add(const std::string& fileName, bool drawToSurface);
  void Suspend() override;
  void Resume() override;
  // Draws the overlay movies into the picture being shown (the frame's last step).
  void Repaint(TCustomDIBX& target);

protected:
  std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName) override;
};

}  // namespace nova
