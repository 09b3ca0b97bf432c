#include "media/media_system.h"

#include "base/sjis.h"
#include "media/novadll.h"
#include "platform/trace_log.h"

namespace nova {

TMediaSystem::TMediaSystem(TPlatform& platform, TVrFileManager& files, const TMediaSettings& settings,
                           TPlatformWindow* window)
    : context_{platform, files, settings.UseDirectSound, settings.DelayTime, settings.UseWMP, settings.GameFolder} {
  TUserMediaConfig user = platform.MediaConfig();
  context_.MusicVolume = user.MusicVolume;
  context_.SoundVolume = user.SoundVolume;
  novaInit(platform, TStreamCallbacks(), 0);
  // The library decodes on its own thread; on the headless platform the frame ticker does it.
  novaOggmanSetUseThread(ToNovaBool(platform.FrameTicker() == nullptr));
  if (settings.ScreenWidth > 0 && settings.ScreenHeight > 0)
    screen_ = std::make_unique<TScreenManager>(window ? window->DisplayModes() : std::vector<TDisplayMode>{},
                                               settings.ScreenWidth, settings.ScreenHeight, settings.DisplayWidth,
                                               settings.DisplayHeight);
  wave_ = std::make_unique<TWaveManager>(context_);
  video_ = std::make_unique<TVideoManager>(context_);
  wmp_ = std::make_unique<TWmpManager>(context_);
  ogg_ = std::make_unique<TOggManager>(context_);
  cdda_ = std::make_unique<TCddaManager>(context_);
  midi_ = std::make_unique<TMidiManager>(context_);
}

TMediaSystem::~TMediaSystem() {
  screen_.reset();
  video_.reset();
  wave_.reset();
  wmp_.reset();
  ogg_.reset();
  cdda_.reset();
  midi_.reset();
  novaFinal();
}

void TMediaSystem::Suspend() {
  if (video_) video_->Suspend();
  for (TMediaManager* m : {static_cast<TMediaManager*>(wave_.get()), static_cast<TMediaManager*>(wmp_.get()),
                           static_cast<TMediaManager*>(ogg_.get())})
    if (m && m->Enabled()) m->Suspend();
  if (cdda_ && cdda_->Enabled()) {
    cdda_->Suspend();
    cdda_->WriteLevels();
  }
  if (midi_ && midi_->Enabled()) midi_->Suspend();
}

void TMediaSystem::Resume() {
  if (video_) video_->Resume();
  for (TMediaManager* m : {static_cast<TMediaManager*>(wave_.get()), static_cast<TMediaManager*>(wmp_.get()),
                           static_cast<TMediaManager*>(ogg_.get())})
    if (m && m->Enabled()) m->Resume();
  if (cdda_ && cdda_->Enabled()) {
    cdda_->SaveLevels();
    cdda_->Resume();
  }
  if (midi_ && midi_->Enabled()) midi_->Resume();
}

void TMediaSystem::SetSoundOn(bool on) {
  soundOn_ = on;
  for (TMediaManager* m : {static_cast<TMediaManager*>(wave_.get()), static_cast<TMediaManager*>(video_.get()),
                           static_cast<TMediaManager*>(wmp_.get()), static_cast<TMediaManager*>(ogg_.get()),
                           static_cast<TMediaManager*>(cdda_.get()), static_cast<TMediaManager*>(midi_.get())})
    if (m) m->SetEnabled(on);
}

void TMediaSystem::Update() {
  novaOggmanUpdate();
  if (cdda_) cdda_->Update();
}

void TMediaSystem::RepaintMovies(TCustomDIBX& target) {
  if (video_) video_->Repaint(target);
}

TMediaManager* TMediaSystem::ManagerFor(const std::string& name) {
  if (name.size() >= 3 && name.compare(0, 3, "CD_") == 0) return cdda_.get();
  std::string ext = MediaExtension(name);
  if (ext == ".mid" || ext == ".sgt") return midi_.get();
  if (ext == ".wma" || ext == ".asf" || ext == ".wmv") return wmp_.get();
  if (ext == ".ogg" || ext == ".wav") return ogg_.get();
  return nullptr;
}

TDMediaItem* TMediaSystem::AddSound(const std::string& fileName) {
  TMediaManager* m = ManagerFor(fileName);
  return m ? m->Add(fileName) : nullptr;
}

void TMediaSystem::Release(TDMediaItem* item) {
  if (item) item->Manager().Remove(item);
}

}  // namespace nova
