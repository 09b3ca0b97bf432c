#include "game/nova_game.h"

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "components/films/nova_motion.h"
#include "components/images/brio_collection.h"
#include "components/images/image_vars.h"
#include "components/lists/item_functions.h"
#include "components/text/history.h"
#include "components/text/history_functions.h"
#include "components/images/picture_frames.h"
#include "components/text/read_list.h"
#include "components/register_components.h"
#include "game/game_fonts.h"
#include "game/splash.h"
#include "media/media_system.h"
#include "media/media_vars.h"
#include "objects/input_vars.h"
#include "objects/object_functions.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/system_vars.h"
#include "params/var_dump.h"
#include "platform/trace_log.h"
#include "render/dibx.h"
#include "saves/game_saves.h"
#include "saves/save_screen.h"
#include "text/font_pixels.h"
#include "text/font_vars.h"
#include "scenario/project.h"
#include "scenario/scenario_texts.h"

namespace nova {

TNovaGame::TNovaGame(TPlatform& platform, TGameConfig config)
    : platform_(platform), config_(std::move(config)), backSurface_(std::make_unique<TDIBX>()) {}

TNovaGame::~TNovaGame() {
  try {
    Shutdown();
  } catch (const std::exception&) {
    // Teardown goes on.
  }
}

void TNovaGame::Create(TGameHost& host) {
  host_ = &host;
  SetRandomSeed(MillisecondsSinceMidnight(platform_.Clock().LocalTime()));
  if (!config_.TraceFile.empty()) {
    traceFile_.open(config_.TraceFile, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!traceFile_) RaiseError(HostPathText(config_.TraceFile) + ": cannot write the trace file");
  }
  CreateVariableStore();

  // Initialize: the sound device, the display object system, the project, media.
  TracePoint("DXSound.Initialize");
  TracePoint("NovaInitialize");
  scene_ = std::make_unique<TNovaBaseList>();
  scene_->SetFactory(&factory_);
  RegisterFontVariables(*funcs_, platform_.Fonts());
  glyphs_ = std::make_unique<TFontPixelManager>(platform_.Fonts());
  RegisterInputVariables(*funcs_, *scene_, [this](int32_t x, int32_t y) { host_->MoveCursor(x, y); });
  RegisterObjectFunctions(*funcs_, *scene_);
  images_ = std::make_unique<TBrioCollection>(services_);
  images_->SetScene(scene_.get());
  images_->SetBitCount(scene_->BitCount());
  services_.Images = images_.get();
  RegisterImageVariables(*funcs_, *images_);
  RegisterItemFunctions(*funcs_, *scene_);
  texts_ = std::make_unique<TScenarioTexts>([this] { return project_ ? project_->CallMan() : nullptr; });
  historyPictures_ = std::make_unique<TMesPictureSource>(services_, 32);
  history_ = std::make_unique<TNovaHistoryFormatManager>();
  history_->Env = TMesTextEnv{texts_.get(), nullptr, historyPictures_.get(), store_.get(), funcs_.get()};
  readMarks_ = std::make_unique<TNovaReadList>();
  RegisterHistoryFunctions(*funcs_, *history_);
  TracePoint("TProject.Create");
  TProjectOptions options;
  options.ExecutableFolder = config_.GameFolder;
  options.SaveFolder = config_.SaveDir;
  options.HadFolderParameters = config_.HadFolderParameters;
  saves_ = std::make_unique<TGameSaves>(*store_, *scene_, platform_.Dialogs());
  options.StateStore = saves_.get();
  project_ = std::make_unique<TProject>(*store_, *funcs_, *scene_, platform_.Dialogs(), options);
  saves_->SetProject(project_.get());
  saves_->Sections.GetDither = [this] { return images_->Dither(); };
  saves_->Sections.SetDither = [this](bool on) { images_->SetDither(on); };
  project_->History = history_.get();
  project_->Marks = readMarks_.get();
  saves_->Sections.SaveHistory = [this](TStream& s) { history_->SaveToStream(s); };
  saves_->Sections.LoadHistory = [this](TStream& s, int32_t version) {
    if (version >= 135) history_->LoadFromStream(s, version);
    else history_->LoadDefaultHistory(s, version);
  };
  saves_->Sections.ApplyOldHistorySettings = [this](const std::array<int32_t, 6>& settings) {
    history_->Default().Settings = settings;
  };
  saves_->Sections.SaveReadMarks = [this](TStream& s) { readMarks_->SaveToStream(s); };
  saves_->Sections.LoadReadMarks = [this](TStream& s, int32_t version) { readMarks_->LoadFromStream(s, version); };
  project_->SetTraceSink([this](const std::string& line) { WriteTrace(line); });
  project_->Create();
  AddGameFonts(FileManager(), platform_.Fonts());
  if (TCallMan* cm = project_->CallMan()) cm->SetResponsivenessHook([this] { host_->KeepResponsive(); });
  scene_->SetSize(project_->ScreenWidth(), project_->ScreenHeight());
  // Transitions: the zoom aims at the centre of the screen the project starts with, and the
  // shuffled kinds draw from the game's Random.
  TWipeContext wipes;
  wipes.Defaults.AimZoomAt(project_->ScreenWidth(), project_->ScreenHeight());
  wipes.Random = [](int32_t n) { return NextRandom(n); };
  scene_->SetWipeContext(std::move(wipes));
  scene_->DefaultCursor = [this] { return store_ ? store_->Cursor : std::string(); };
  scene_->SetCursorListener([this](const std::string& file) { ShowCursorFile(file); });
  services_.Files = &FileManager();
  services_.CheckFile = [this](const std::string& name) { return project_ && project_->CheckFile(name); };
  services_.Store = store_.get();
  services_.Funcs = funcs_.get();
  services_.Glyphs = glyphs_.get();
  services_.Platform = &platform_;
  services_.ImageKey = project_->File().ImageKey;
  services_.MakeMotion = NovaMotionMaker(services_);
  services_.Texts = texts_.get();
  services_.History = history_.get();
  services_.ReadMarks = readMarks_.get();
  RegisterComponentClasses(factory_, services_);
  RegisterSaveScreen(*funcs_, TSaveScreenServices{
                                  .Scene = scene_.get(),
                                  .Files = &FileManager(),
                                  .StoreInSaveFile = [this](const std::string& name,
                                                            const std::string& bytes) { saves_->StoreFile(name, bytes); },
                                  .DropCachedImage = [this](const std::string& name) { images_->DropImage(name); },
                                  .WrittenFiles = &writtenFiles_,
                              });
  if (!config_.SplashFilm.empty()) splash_ = std::make_unique<TSplash>(*scene_, FileManager(), config_.SplashFilm);
  TracePoint("MediaInit");
  StartMedia();
}

void TNovaGame::StartMedia() {
  TMediaSettings settings;
  settings.UseDirectSound = config_.UseDirectSound;
  settings.DelayTime = config_.DelayTime;
  settings.UseWMP = config_.UseWMP;
  settings.GameFolder = config_.GameFolder;
  settings.ScreenWidth = project_->ScreenWidth();
  settings.ScreenHeight = project_->ScreenHeight();
  settings.DisplayWidth = project_->File().DisplayParam1;
  settings.DisplayHeight = project_->File().DisplayParam2;
  media_ = std::make_unique<TMediaSystem>(platform_, FileManager(), settings, host_->MainWindow());
  services_.Media = media_.get();
  // Media's @DisplayModeCount / @DisplayModeIndex take the place of the window's own.
  TMediaVarHooks hooks;
  hooks.ApplyScreenMode = [this] { host_->ApplyScreenMode(); };
  RegisterMediaVariables(*funcs_, *media_, std::move(hooks));
}

void TNovaGame::CreateVariableStore() {
  store_ = std::make_unique<TParamCollection>();
  funcs_ = std::make_unique<TSysFuncMan>(*store_);
  TPlatformClock& clock = platform_.Clock();
  auto dateTime = std::make_shared<TCachedDateTime>();
  funcs_->RegisterClock(TClockBinding{
      .Total = [] { return FrameClock().Total; },
      .Timer = [&clock] { return clock.Now(); },
      .Frames = [] { return FrameClock().FrameCount; },
      .Now =
          [&clock, dateTime] {
            const TLocalTime& t = dateTime->Get(FrameClock().Total, clock);
            return TDateTimeParts{t.Year, t.Month, t.Day, t.Hour, t.Min, t.Sec, t.MSec};
          },
  });
  RegisterWindowVariables();
}

void TNovaGame::RegisterWindowVariables() {
  funcs_->RegisterVariable(SV_FULLSCR, {.GetFlag = [this](int) { return host_ && host_->FullScreen(); },
                                        .SetFlag = [this](bool on) {
                                          if (host_) host_->SetFullScreen(on);
                                        }});
  funcs_->RegisterVariable(SV_DISPLAYMODECOUNT, {.GetInt = [this] { return host_ ? host_->DisplayModeCount() : 0; }});
  funcs_->RegisterVariable(SV_DISPLAYMODEINDEX, {.GetInt = [this] { return displayModeIndex_; },
                                                 .SetInt = [this](int32_t index) {
                                                   int count = host_ ? host_->DisplayModeCount() : 0;
                                                   if (index < -1 || index >= count) return;
                                                   displayModeIndex_ = index;
                                                   host_->ApplyScreenMode();
                                                 }});
}

bool TNovaGame::Running() const { return project_ != nullptr && !shutDown_; }

int32_t TNovaGame::ScreenWidth() const { return project_ ? project_->ScreenWidth() : 640; }
int32_t TNovaGame::ScreenHeight() const { return project_ ? project_->ScreenHeight() : 480; }
std::string TNovaGame::Title() const { return project_ ? project_->Name() : std::string(); }
bool TNovaGame::SleepFlag() const { return project_ && project_->File().SleepFlag != 0; }

TInputState& TNovaGame::Input() { return scene_ ? scene_->Input() : idleInput_; }

bool TNovaGame::Frame() {
  if (!Running()) return false;
  ProcessPendingDeletions();
  const uint32_t elapsed = FrameClock().LastDelta;
  scene_->ProcessInput(elapsed);
  // Until the splash is over it takes the interpreter's place.
  if (splash_) {
    if (splash_->Step()) splash_.reset();
  } else {
    project_->RunFrame();
  }
  if (Quitting()) return false;
  scene_->UpdateScene(elapsed);
  if (media_) media_->Update();
  ++FrameClock().FrameCount;
  return project_->ServiceRequests();
}

void TNovaGame::ShowCursorFile(const std::string& file) {
  if (!host_) return;
  if (file.empty()) {
    host_->SetCursor(nullptr);
    return;
  }
  // A cursor that cannot be read leaves the standard arrow.
  try {
    TKtMemoryStream bytes;
    FileManager().ReadFile(bytes, file);
    const std::string& data = bytes.Data();
    TCursorImage cursor = DecodeCursorFile(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
    host_->SetCursor(&cursor);
  } catch (const std::exception&) {
    host_->SetCursor(nullptr);
  }
}

std::vector<TRect> TNovaGame::Paint(TPicture& panel) {
  if (!scene_) return {};
  const int32_t width = scene_->ScreenWidth(), height = scene_->ScreenHeight();
  if (panel.Width != width || panel.Height != height) panel.Resize(width, height);
  // The displayed screen paints straight into the panel; a new panel is painted whole.
  if (panelBits_ != panel.Pixels.data()) {
    panelBits_ = panel.Pixels.data();
    backSurface_->Borrow(reinterpret_cast<uint8_t*>(panel.Pixels.data()), width, height, 32, width * 4);
    scene_->SetBackSurface(backSurface_.get());
    scene_->Displayed().AddDirtyRect(TRect{0, 0, width, height});
  }
  scene_->PaintScene();
  if (media_) media_->RepaintMovies(*backSurface_);
  std::vector<TRect> changed;
  if (!scene_->TransitionRect().Empty()) changed.push_back(scene_->TransitionRect());
  else changed = scene_->Displayed().DirtyList().Items();
  scene_->ClearDirty();
  return changed;
}

void TNovaGame::Suspend() {
  if (media_) media_->Suspend();
  Input().ClearKeys();
}

void TNovaGame::Resume() {
  if (media_) media_->Resume();
}

void TNovaGame::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  TracePoint("Project.Free");
  if (project_) {
    failure_ = project_->FailureReason;
    missingData_ = project_->MissingGameData;
    project_.reset();  // exit page, status data
  }
  saves_.reset();
  if (funcs_) UnregisterSaveScreen(*funcs_);
  if (!config_.DumpVarsFile.empty() && store_) {
    std::ofstream out(config_.DumpVarsFile, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out) RaiseError(HostPathText(config_.DumpVarsFile) + ": cannot write the variable dump");
    DumpVars(out);
  }
  traceFile_.close();
  TracePoint("SysFuncMan.Free");
  if (funcs_) UnregisterHistoryFunctions(*funcs_);
  if (media_ && funcs_) UnregisterMediaVariables(*funcs_);
  funcs_.reset();
  TracePoint("ParamMan.Free");
  store_.reset();
  TracePoint("NovaFinalize");
  splash_.reset();
  scene_.reset();
  images_.reset();
  history_.reset();
  readMarks_.reset();
  glyphs_.reset();
  backSurface_.reset();
  TracePoint("MediaFinal");
  services_.Media = nullptr;
  media_.reset();
}

std::string TNovaGame::FailureReason() const { return project_ ? project_->FailureReason : failure_; }

int TNovaGame::ExitCode() const {
  if (FailureReason().empty()) return 0;
  bool missing = project_ ? project_->MissingGameData : missingData_;
  return missing ? kExitGameDataMissing : kExitStartupFailed;
}

void TNovaGame::DumpVars(std::ostream& out) {
  if (store_) nova::DumpVars(*store_, out);
}

void TNovaGame::WriteTrace(const std::string& line) {
  if (traceFile_.is_open()) traceFile_ << SjisToUtf8(line) << '\n';
}

}  // namespace nova
