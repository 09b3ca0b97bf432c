#include "media/media_managers.h"

#include <algorithm>
#include <cmath>

#include "archive/disk_names.h"
#include "archive/vrfile_collection.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "media/media_item_kinds.h"

namespace nova {

// --- Items' base and names ---

TDMediaItem::TDMediaItem(TMediaManager& manager, std::string fileName)
    : manager_(manager), fileName_(std::move(fileName)) {}
TDMediaItem::~TDMediaItem() = default;

bool IsAbsoluteMediaName(const std::string& name) {
  if (name.empty()) return false;
  return name[0] == '\\' || name[0] == '/' || (name.size() > 1 && name[1] == ':');
}

std::string MediaExtension(const std::string& name) {
  size_t slash = name.find_last_of("\\/");
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return LowerCaseAnsi(name.substr(dot));
}

// --- Context ---

namespace {

// A disk path of an absolute name: "\" separators become "/"; a drive letter has no meaning
// on this system, so "X:\dir\file" is looked for as "/dir/file".
std::filesystem::path DiskPath(const std::string& name) {
  std::string utf8 = SjisToUtf8(name);
  if (utf8.size() > 1 && utf8[1] == ':') utf8 = utf8.substr(2);
  for (char& c : utf8)
    if (c == '\\') c = '/';
  return std::filesystem::path(utf8);
}

}  // namespace

std::string TMediaContext::ReadAll(const std::string& name) {
  if (IsAbsoluteMediaName(name)) {
    TKtMemoryStream m;
    m.LoadFromFile(DiskPath(name));
    return m.Data();
  }
  TKtMemoryStream m;
  Files.ReadFile(m, name);
  return m.Data();
}

std::unique_ptr<TStream> TMediaContext::OpenStream(const std::string& name) {
  if (IsAbsoluteMediaName(name)) {
    std::filesystem::path p = DiskPath(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) RaiseError(name + Utf8ToSjis(":ファイルがありません"));
    return std::make_unique<TFileStream>(p, TFileStream::OpenRead);
  }
  // A range stream gives an archive entry's stored bytes: a compressed entry (the archive
  // writer stores media as is, but version 0 and 100 archives compress everything) is inflated
  // into memory instead. A loose file in the base folder still wins.
  const bool loose = !Files.BaseFolder().empty() && FindGameFile(Files.BaseFolder(), name).has_value();
  if (TVrFile* entry = loose ? nullptr : Files.FindEntry(name); entry && !entry->Memory && entry->Stored == 0) {
    auto inflated = std::make_unique<TKtMemoryStream>();
    Files.ReadFile(*inflated, name);
    inflated->Seek(0, SeekOrigin::Begin);
    return inflated;
  }
  return Files.OpenRange(name);
}

std::filesystem::path TMediaContext::RealPath(const std::string& name) {
  if (IsAbsoluteMediaName(name)) return DiskPath(name);
  return Files.GetRealPath(name);
}

int32_t TMediaContext::UserOffset(bool music) const {
  int percent = std::clamp(music ? MusicVolume : SoundVolume, 0, 100);
  if (percent >= 100) return 0;
  if (percent <= 0) return -10000;
  return static_cast<int32_t>(std::lround(2000.0 * std::log10(percent / 100.0)));
}

// --- The manager base ---

TMediaManager::~TMediaManager() = default;  // subclasses clear their items themselves first

TDMediaItem* TMediaManager::Append(std::unique_ptr<TDMediaItem> item) {
  if (!item) return nullptr;
  items_.push_back(std::move(item));
  return items_.back().get();
}

TDMediaItem* TMediaManager::Add(const std::string& fileName) { return Append(CreateItem(fileName)); }

void TMediaManager::Remove(TDMediaItem* item) {
  for (auto it = items_.begin(); it != items_.end(); ++it)
    if (it->get() == item) {
      std::unique_ptr<TDMediaItem> gone = std::move(*it);
      items_.erase(it);
      return;  // freed here, after it left the list
    }
}

void TMediaManager::Clear() {
  while (!items_.empty()) {
    std::unique_ptr<TDMediaItem> gone = std::move(items_.back());
    items_.pop_back();
  }
}

void TMediaManager::Suspend() {
  if (!enabled_ || suspended_) return;
  suspended_ = true;
  for (auto& item : items_) {
    if (item->IsPlaying() && !item->IsPaused() && !item->IsEnd()) {
      item->Pause();
      item->SuspendedByManager = true;
    } else {
      item->SuspendedByManager = false;
    }
  }
}

void TMediaManager::Resume() {
  if (!enabled_ || !suspended_) return;
  suspended_ = false;
  for (auto& item : items_) {
    // Items asked to play while sound was off start now too.
    if (item->SuspendedByManager || item->PendingPlay) {
      item->SuspendedByManager = false;
      item->PendingPlay = false;
      item->Play();
    }
  }
}

void TMediaManager::SetEnabled(bool on) {
  if (on == enabled_) return;
  if (!on) {
    Suspend();
    enabled_ = false;
  } else {
    enabled_ = true;
    Resume();
  }
}

// --- Ogg ---

TOggManager::TOggManager(TMediaContext& context) : TMediaManager(context) {
  if (!context.UseDirectSound) wavOut_ = std::make_unique<TWavOut>(context.Platform, context.DelayTime);
}

TOggManager::~TOggManager() {
  Clear();
  if (wavOut_) wavOut_->Close();
}

void TOggManager::Restore() { novaOggmanRestore(); }

std::unique_ptr<TDMediaItem> TOggManager::CreateItem(const std::string& fileName) {
  if (wavOut_) return std::make_unique<TOggWaveItem>(*this, *wavOut_, fileName);
  return std::make_unique<TOggItem>(*this, fileName);
}

// --- Windows Media ---

void TWmpManager::Restore() { novaWmpmanRestore(); }

std::unique_ptr<TDMediaItem> TWmpManager::CreateItem(const std::string& fileName) {
  return std::make_unique<TWmpItem>(*this, fileName);
}

// --- MIDI ---

TMidiManager::TMidiManager(TMediaContext& context)
    : TMediaManager(context), sequencer_(std::make_unique<TMidiPlayV>(context.Platform)) {
  portNames_.push_back(Utf8ToSjis("MIDIマッパー"));
  for (const TMidiDeviceInfo& d : sequencer_->Devices()) portNames_.push_back(d.Name);
}

TMidiManager::~TMidiManager() {
  Clear();
  sequencer_->Stop();
  if (sequencer_->Opened()) sequencer_->Close();
}

std::string TMidiManager::PortName() const { return portNames_[static_cast<size_t>(portIndex_)]; }

void TMidiManager::SelectPort(const std::string& name) {
  auto it = std::find(portNames_.begin(), portNames_.end(), name);
  if (it == portNames_.end()) return;
  int index = static_cast<int>(it - portNames_.begin());
  if (index == portIndex_) return;
  portIndex_ = index;
  if (!sequencer_->Opened()) return;
  bool playing = sequencer_->IsPlaying();
  int32_t at = sequencer_->Position();
  sequencer_->Stop();
  sequencer_->Close();
  if (sequencer_->Open(portIndex_ - 1) && playing && current_) {
    sequencer_->SendMasterVolumeReset();
    sequencer_->PlayFrom(at);
    current_->ApplyVolume();
  }
}

std::unique_ptr<TDMediaItem> TMidiManager::CreateItem(const std::string& fileName) {
  return std::make_unique<TMidiItem>(*this, fileName);
}

// --- CD ---

TCddaManager::TCddaManager(TMediaContext& context) : TMediaManager(context) {
  std::vector<std::string> drives;
  if (!context.GameFolder.empty())
    for (const auto& folder : RippedTrackFolders(context.GameFolder)) drives.push_back(folder.string());
  TPlatformClock* clock = &context.Platform.Clock();
  player_ = std::make_unique<TCDP>(CreateRippedCdDevice(context.Platform), drives, [clock] { return clock->Now(); });
  player_->TimeMode = cdpTrackPast;
  player_->OnCDInsert = [this] {
    if (current_ && current_->Track() > 0) player_->PlayList = {current_->Track()};
  };
}

TCddaManager::~TCddaManager() {
  Clear();
  player_->Close();
}

bool TCddaManager::OpenDevice() {
  if (player_->HasDevice()) return true;
  if (!firstAttempt_ && keptDrive_ < 0) return false;
  if (keptDrive_ >= 0) return player_->Open(keptDrive_);
  firstAttempt_ = false;
  // The original read a drive choice of the user from the registry; here every folder that may
  // hold ripped tracks is tried in order, and the first holding a track is kept.
  const auto& drives = player_->Drives();
  for (int i = 0; i < static_cast<int>(drives.size()); ++i) {
    if (!player_->Open(i)) continue;
    if (player_->TrackCount() >= 1) {
      keptDrive_ = i;
      if (!lineFound_) {
        lineFound_ = true;
        SaveLevels();
      }
      return true;
    }
    player_->Close();
  }
  return false;
}

void TCddaManager::SaveLevels() {
  if (!lineFound_) return;
  player_->Device().GetLine(savedLeft_, savedRight_);
}

void TCddaManager::WriteLevels() {
  if (!lineFound_) return;
  player_->Device().SetLine(savedLeft_, savedRight_);
}

void TCddaManager::Update() { player_->Update(); }

std::unique_ptr<TDMediaItem> TCddaManager::CreateItem(const std::string& fileName) {
  return std::make_unique<TCddaItem>(*this, fileName);
}

// --- Video ---

TVideoItem* TVideoManager::Add(const std::string& fileName, bool drawToSurface) {
  std::unique_ptr<TDMediaItem> item;
  if (context_.UseWMP) item = std::make_unique<TWmVideoItem>(*this, fileName);
  else item = std::make_unique<TDsVideoItem>(*this, fileName, drawToSurface);
  return static_cast<TVideoItem*>(Append(std::move(item)));
}

std::unique_ptr<TDMediaItem> TVideoManager::CreateItem(const std::string& fileName) {
  return std::make_unique<TDsVideoItem>(*this, fileName, true);
}

void TVideoManager::Suspend() {
  bool was = suspended_;
  TMediaManager::Suspend();
  if (!was && suspended_ && !context_.UseWMP) novaVidmanSuspend();
}

void TVideoManager::Resume() {
  bool was = suspended_;
  TMediaManager::Resume();
  if (was && !suspended_ && !context_.UseWMP) novaVidmanResume();
}

void TVideoManager::Repaint(TCustomDIBX& target) { novaVidmanPaint(target); }

}  // namespace nova
