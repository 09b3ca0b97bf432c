#include "app/player.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

#include "app/config_window.h"
#include "app/game_ini.h"
#include "app/game_location.h"
#include "app/input_script.h"
#include "app/options.h"
#include "app/splash_film.h"
#include "app/user_config.h"
#include "app/view.h"
#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "base/sjis.h"
#include "game/nova_game.h"
#include "platform/instance_lock.h"
#include "platform/interrupt.h"
#include "platform/mounts.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/trace_log.h"

#ifndef NOVA_BUNDLED_GAME_DIR
#define NOVA_BUNDLED_GAME_DIR ""
#endif
#ifndef NOVA_VERSION
#define NOVA_VERSION "0.0.0"
#endif

namespace nova {
namespace {

// Messages of the system are Shift-JIS; the terminal takes UTF-8. Our own texts are
// UTF-8 already and pass unchanged (valid UTF-8 that is also valid Shift-JIS is ASCII).
void PrintError(const std::string& sjisOrAscii) {
  std::fprintf(stderr, "novaplayer: %s\n", SjisToUtf8(sjisOrAscii).c_str());
}

// The settings dialog alone: no archive, no project; the player ends when it closes.
int RunSettingsDialog(const TPlayerOptions& options, const std::filesystem::path& gameFolder,
                      const std::vector<TScriptedEvent>& script) {
  try {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(options.Headless);
    TFormConfig form(GameIniFile(gameFolder));
    RunFormConfig(form, *platform, script);
    return 0;
  } catch (const ENovaError& e) {
    PrintError(e.Message());
  } catch (const std::exception& e) {
    PrintError(e.what());
  }
  return 1;
}

}  // namespace

std::filesystem::path SelfExecutablePath(const std::filesystem::path& fallback) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return fallback;
  return std::filesystem::path(std::string(buf, static_cast<size_t>(n)));
}

int RunPlayer(const std::vector<std::string>& args, const std::filesystem::path& selfExe) {
  TPlayerOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const ENovaError& e) {
    std::fprintf(stderr, "novaplayer: %s\nTry 'novaplayer --help'.\n", e.what());
    return 2;
  }
  if (options.Help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (options.Version) {
    std::printf("novaplayer %s\n", NOVA_VERSION);
    return 0;
  }
  // Scripted input is part of the command line: a bad line is a bad command line.
  std::vector<TScriptedEvent> script;
  if (!options.InputFile.empty()) {
    try {
      script = LoadInputScript(options.InputFile);
    } catch (const ENovaError& e) {
      std::fprintf(stderr, "novaplayer: --input: %s\n", e.what());
      return 2;
    }
  }
  const TUserConfig user = LoadUserConfig(UserConfigFile());
  for (const std::string& warning : user.Warnings) std::fprintf(stderr, "novaplayer: %s\n", warning.c_str());
  ScaleMode scale = ScaleMode::Nearest;
  if (options.Scale) scale = *options.Scale;
  else if (user.Scale) scale = *user.Scale;

  std::unique_ptr<TInstanceLock> lock;
  TGameConfig config;
  TStartupInfo info;
  try {
    // "/config" itself names no game; with --config the games name whose "game.ini" is edited.
    std::vector<std::filesystem::path> games = options.Games;
    if (options.Config && !games.empty() && SameText(games.front().string(), "/config")) games.erase(games.begin());
    TGameLocation location = LocateGame(games, selfExe, NOVA_BUNDLED_GAME_DIR);
    // The original refused to run from a CD-ROM drive; ours: from mounted optical media.
    if (IsOnOpticalMedium(selfExe)) return 0;
    if (location.Kind == GameKind::Executable && IsOnOpticalMedium(location.Container.Path)) return 0;
    lock = TInstanceLock::TryAcquire(InstanceKey(options.Games.empty() ? location.KeySource : options.Games.front()));
    if (!lock) return 0;  // the game runs already
    if (options.Config) return RunSettingsDialog(options, location.GameFolder, script);
    InitTraceLogFromEnvironment();
    ResetFileManager(!options.Headless);
    RegisterArchives(FileManager(), location);
    config.GameFolder = location.GameFolder;
    // Folders (also the bundled game) and a game.dat given directly run as the original ran with
    // folder parameters; an executable runs as from its own folder (data-disk search included).
    config.HadFolderParameters = location.Kind == GameKind::Folders || location.Kind == GameKind::ArchiveFile;
    const TGameSettings settings = LoadGameSettings(location.GameFolder / "game.ini");
    config.UseDirectSound = settings.UseDirectSound;
    config.DelayTime = settings.DelayTime;
    config.UseWMP = settings.UseWMP;
    config.TraceFile = options.TraceFile;
    config.DumpVarsFile = options.DumpVarsFile;
    // Headless runs go straight to the game's first page (tests and recordings count frames).
    if (!options.Headless && user.Splash) {
      const std::span<const uint8_t> splash = SplashFilmBytes();
      config.SplashFilm.assign(splash.begin(), splash.end());
    }
    if (!options.SaveDir.empty()) {
      std::error_code ec;
      std::filesystem::create_directories(options.SaveDir, ec);
      if (ec) RaiseError(HostPathText(options.SaveDir) + ": " + ec.message());
      config.SaveDir = options.SaveDir;
    } else {
      config.SaveDir = DefaultSaveDir(location);
    }
    info.GameFolder = location.GameFolder;
    info.KeepFile = options.TraceFile;
    info.GameName = location.GameName;
    info.Scale = scale;
    info.Input = std::move(script);
    info.Screenshots = options.Screenshots;
  } catch (const ENovaError& e) {
    PrintError(e.Message());
    return 1;
  } catch (const std::exception& e) {
    PrintError(e.what());
    return 1;
  }

  // A fresh process state (the player may run more than once in one process: tests, benchmarks).
  SetQuitting(false);
  ClearCloseRequest();
  FrameClock() = TFrameClock{};
  InstallInterruptHandler();
  int code = 0;
  try {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(options.Headless, options.AudioOut);
    FileManager().SetDialogs(&platform->Dialogs());
    TNovaGame game(*platform, config);
    TFormView view(*platform, game, info);
    view.Create();
    if (view.StartupFailed()) {
      if (!options.Headless) PrintError(view.StartupError());  // headless boxes went to stderr already
      view.Close();
      code = kExitStartupFailed;
    } else {
      view.Run(options.Frames);
      view.Close();
      code = game.ExitCode();
      for (const TScreenshotRequest& shot : view.PendingScreenshots()) {
        std::fprintf(stderr, "novaplayer: --screenshot %u:%s: the game ended after frame %u\n", shot.Frame,
                     shot.File.string().c_str(), view.FramesDriven());
      }
      // Whatever stopped the game is said on the terminal too (a box may have said it already).
      if (code != 0) PrintError(game.FailureReason());
    }
    FileManager().SetDialogs(nullptr);
  } catch (const ENovaError& e) {
    PrintError(e.Message());
    code = kExitStartupFailed;
  } catch (const std::exception& e) {
    PrintError(e.what());
    code = kExitStartupFailed;
  }
  TraceLog().Final();
  return code;
}

}  // namespace nova
