#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

#include "app/game_location.h"
#include "archive/vrfiles.h"
#include "base/error.h"
#include "base/stream.h"
#include "platform/instance_lock.h"
#include "support/test_support.h"

namespace nova {
namespace {

std::string Int32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// A header-less (version 0) archive: count, names, 32-bit offsets, zlib-compressed entries.
std::string HeaderlessArchive(const std::string& name, const std::string& content) {
  uLongf size = compressBound(content.size());
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
            content.size(), 1);
  packed.resize(size);
  uint32_t dir = 4 + 4 + static_cast<uint32_t>(name.size()) + 8;
  return Int32(1) + Int32(static_cast<uint32_t>(name.size())) + name + Int32(dir) +
         Int32(dir + static_cast<uint32_t>(packed.size())) + packed;
}

// A stand-in Windows executable with the archive appended and the "nv" trailer.
std::string ExecutableWithArchive(const std::string& archive) {
  std::string stub = "MZ" + std::string(62, '\0');
  return stub + archive + Int32(static_cast<uint32_t>(stub.size())) + "nv";
}

std::string Int16(uint16_t v) { return std::string{char(v), char(v >> 8)}; }

std::string Utf16Name(const std::string& ascii) {
  std::string out = Int16(static_cast<uint16_t>(ascii.size()));
  for (char c : ascii) out += Int16(static_cast<uint16_t>(c));
  return out;
}

// A minimal PE32 image with one section ".rsrc" holding the resource name of type type.
std::string PeWithResource(const std::string& type, const std::string& name, const std::string& data) {
  std::string dos = "MZ" + std::string(0x3A, '\0') + Int32(0x40);
  std::string coff = "PE" + std::string(2, '\0') + Int16(0x14C) + Int16(1) + Int32(0) + Int32(0) + Int32(0) +
                     Int16(224) + Int16(0x0102);
  // root -> type "BINTYPE" -> name "DUMMY" -> language 1041 -> data entry -> bytes
  const uint32_t nameDir = 24, langDir = 48, dataEntry = 72, typeStr = 88;
  const uint32_t nameStr = typeStr + 2 + 2 * static_cast<uint32_t>(type.size());
  const uint32_t dataAt = (nameStr + 2 + 2 * static_cast<uint32_t>(name.size()) + 3) & ~3u;
  auto dir = [](uint16_t named, uint16_t ids) { return std::string(12, '\0') + Int16(named) + Int16(ids); };
  std::string rsrc = dir(1, 0) + Int32(0x80000000u | typeStr) + Int32(0x80000000u | nameDir);
  rsrc += dir(1, 0) + Int32(0x80000000u | nameStr) + Int32(0x80000000u | langDir);
  rsrc += dir(0, 1) + Int32(1041) + Int32(dataEntry);
  rsrc += Int32(0x1000 + dataAt) + Int32(static_cast<uint32_t>(data.size())) + Int32(0) + Int32(0);
  rsrc += Utf16Name(type) + Utf16Name(name);
  rsrc.resize(dataAt, '\0');
  rsrc += data;
  uint32_t rawSize = (static_cast<uint32_t>(rsrc.size()) + 0x1FF) & ~0x1FFu;
  rsrc.resize(rawSize, '\0');
  std::string opt = Int16(0x10B) + std::string(90, '\0') + Int32(16);  // magic ... NumberOfRvaAndSizes
  std::string dirs(16 * 8, '\0');
  dirs.replace(16, 8, Int32(0x1000) + Int32(static_cast<uint32_t>(rsrc.size())));
  std::string section = std::string(".rsrc\0\0\0", 8) + Int32(rawSize) + Int32(0x1000) + Int32(rawSize) + Int32(0x200) +
                        std::string(16, '\0');
  std::string image = dos + coff + opt + dirs + section;
  image.resize(0x200, '\0');
  return image + rsrc;
}

std::string ReadGameFile(const std::string& name) {
  TKtMemoryStream s;
  FileManager().ReadFile(s, name);
  return s.ReadBytes(s.Size());
}

TEST(InstanceKey, UpperCasedWithDashes) {
  EXPECT_EQ(InstanceKey("/home/u/Game"), "-HOME-U-GAME-");
  EXPECT_EQ(InstanceKey("/home/u/Game/"), "-HOME-U-GAME-");
  EXPECT_EQ(InstanceKey("/home/u/./x/../Game"), "-HOME-U-GAME-");
  EXPECT_EQ(InstanceKey("/g/\x83\x61"), "-G-\x83\x61-");  // trail bytes keep their case
  std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(InstanceKey("rel"), InstanceKey(cwd + "/rel"));
}

TEST(GameLocation, FoldersRegisterTheirGameDat) {
  test::TempDir a, b;
  test::WriteFile(a / "game.dat", HeaderlessArchive("a.txt", "from a"));
  test::WriteFile(b / "GAME.DAT", HeaderlessArchive("sub\\b.txt", "from b"));
  TGameLocation loc = LocateGame({a.Path(), b.Path()}, "/usr/bin/novaplayer", "");
  EXPECT_EQ(loc.Kind, GameKind::Folders);
  EXPECT_EQ(loc.GameFolder, a.Path());
  ResetFileManager(false);
  RegisterArchives(FileManager(), loc);
  EXPECT_EQ(FileManager().ArchiveCount(), 3);  // archive 0 + both game.dat files
  EXPECT_EQ(FileManager().Archive(0)->EntryCount(), 0);
  EXPECT_EQ(ReadGameFile("A.TXT"), "from a");
  EXPECT_EQ(ReadGameFile("sub\\b.txt"), "from b");
  test::WriteFile(a / "loose.txt", "loose");
  EXPECT_EQ(ReadGameFile("loose.txt"), "loose");  // the first folder is the base folder
  ResetFileManager(false);
}

TEST(GameLocation, ExecutableAndArchiveGivenDirectly) {
  test::TempDir dir;
  test::WriteFile(dir / "play.exe", ExecutableWithArchive(HeaderlessArchive("x.txt", "in exe")));
  test::WriteFile(dir / "data/game.dat", HeaderlessArchive("y.txt", "in dat"));
  EXPECT_TRUE(ProbeGameContainer(dir / "play.exe")->AppendedArchive);
  EXPECT_FALSE(ProbeGameContainer(dir / "data/game.dat")->AppendedArchive);
  struct Case {
    std::vector<std::filesystem::path> games;
    GameKind kind;
    std::string folder, entry, content;
  } cases[] = {
      {{dir / "play.exe"}, GameKind::Executable, dir.Path(), "x.txt", "in exe"},
      {{dir.Path()}, GameKind::Executable, dir.Path(), "x.txt", "in exe"},  // the folder's only game is the exe
      {{dir / "data/game.dat"}, GameKind::ArchiveFile, dir / "data", "y.txt", "in dat"},
  };
  for (const Case& c : cases) {
    TGameLocation loc = LocateGame(c.games, "/usr/bin/novaplayer", "");
    EXPECT_EQ(loc.Kind, c.kind) << c.games[0].string();
    EXPECT_EQ(loc.GameFolder, c.folder);
    ResetFileManager(false);
    RegisterArchives(FileManager(), loc);
    EXPECT_EQ(ReadGameFile(c.entry), c.content) << c.games[0].string();
  }
  ResetFileManager(false);
}

TEST(GameLocation, ResourceArchiveOfAnExecutable) {
  test::TempDir dir;
  test::WriteFile(dir / "res.exe", PeWithResource("BINTYPE", "DUMMY", HeaderlessArchive("r.txt", "in resource") + "vf"));
  test::WriteFile(dir / "nomark.exe", PeWithResource("BINTYPE", "DUMMY", HeaderlessArchive("r.txt", "x")));
  test::WriteFile(dir / "other.exe", PeWithResource("DATA", "MADEWITH", HeaderlessArchive("r.txt", "x") + "vf"));
  EXPECT_TRUE(ProbeGameContainer(dir / "res.exe")->ResourceArchive);
  EXPECT_FALSE(ProbeGameContainer(dir / "nomark.exe")->ResourceArchive);  // its last two bytes are not "vf"
  EXPECT_FALSE(ProbeGameContainer(dir / "other.exe")->ResourceArchive);
  EXPECT_FALSE(ProbeGameContainer(dir / "res.exe")->AppendedArchive);
  TGameLocation loc = LocateGame({dir / "res.exe"}, "/usr/bin/novaplayer", "");
  EXPECT_EQ(loc.Kind, GameKind::Executable);
  ResetFileManager(false);
  RegisterArchives(FileManager(), loc);
  EXPECT_EQ(FileManager().ArchiveCount(), 2);
  EXPECT_EQ(ReadGameFile("r.txt"), "in resource");
  ResetFileManager(false);
}

TEST(GameLocation, WithoutGameArguments) {
  test::TempDir dir;
  test::WriteFile(dir / "novaplayer", "\x7f" "ELF plain");
  test::WriteFile(dir / "bundled/game.dat", HeaderlessArchive("b.txt", "b"));
  TGameLocation own = LocateGame({}, dir / "novaplayer", dir / "bundled");
  EXPECT_EQ(own.Kind, GameKind::Folders);  // no appended archive: the bundled game
  EXPECT_EQ(own.GameFolder, dir / "bundled");
  EXPECT_EQ(own.KeySource, dir.Path());     // keyed by the executable's folder
  TGameLocation empty = LocateGame({}, dir / "novaplayer", dir / "missing");
  EXPECT_EQ(empty.Kind, GameKind::Empty);
  test::WriteFile(dir / "novaplayer", "\x7f" "ELF" + HeaderlessArchive("c.txt", "c") + Int32(4) + "nv");
  EXPECT_EQ(LocateGame({}, dir / "novaplayer", dir / "bundled").Kind, GameKind::OwnExecutable);
  EXPECT_THROW(LocateGame({dir / "nothing-here"}, dir / "novaplayer", ""), ENovaError);
}

TEST(GameLocation, SaveFolderDefaults) {
  test::TempDir game, data;
  TGameLocation loc;
  loc.GameFolder = game.Path();
  loc.GameName = "mygame";
  EXPECT_EQ(DefaultSaveDir(loc), game.Path());
  loc.GameFolder = game / "not-there";
  const char* old = std::getenv("XDG_DATA_HOME");
  std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  EXPECT_EQ(DefaultSaveDir(loc), data / "novaplayer/mygame");
  EXPECT_TRUE(std::filesystem::is_directory(data / "novaplayer/mygame"));
  if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1); else unsetenv("XDG_DATA_HOME");
}

// The novaplayer program itself.
int RunPlayer(const std::string& args) {
  std::string cmd = std::string("timeout 20 ") + NOVA_PLAYER_PATH + " " + args + " >/dev/null 2>&1";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A folder holding a real game: the bundled one, built with the player.
void CopyBundledGame(const test::TempDir& dir) {
  test::WriteFile(dir / "game.dat", test::ReadFile(test::BinaryDir() + "/game/game.dat"));
}

TEST(Player, ExitCodes) {
  test::TempDir dir;
  CopyBundledGame(dir);
  EXPECT_EQ(RunPlayer("--headless --frames 10 " + dir.Path()), 0);
  // An archive without a project: start-up stops (said on stderr) and the exit code tells.
  test::TempDir noProject;
  test::WriteFile(noProject / "game.dat", HeaderlessArchive("a.txt", "a"));
  EXPECT_EQ(RunPlayer("--headless --frames 10 " + noProject.Path()), 1);
  EXPECT_EQ(RunPlayer("--help"), 0);
  EXPECT_EQ(RunPlayer("--version"), 0);
  EXPECT_EQ(RunPlayer("--headless --bogus " + dir.Path()), 2);
  EXPECT_EQ(RunPlayer("--headless --frames"), 2);
  EXPECT_EQ(RunPlayer("--headless --frames 3 " + dir / "missing"), 1);
  EXPECT_EQ(RunPlayer("--headless --frames 3 --save-dir /proc/no-such " + dir.Path()), 1);
  EXPECT_EQ(RunPlayer("--headless --config " + dir / "missing"), 1);  // the dialog of a game that is not there
}

TEST(Player, TerminationClosesTheGameNormally) {
  test::TempDir dir;
  CopyBundledGame(dir);
  // The signal goes once the player has started the game (the last trace point of the start-up:
  // the handlers are installed and the project that the teardown frees exists), however slowly
  // a busy machine gets there. timeout stays in the foreground so that the player gets the
  // signal once: a second one would end it at once, as a second Ctrl+C should.
  const std::string trace = dir.Path() + "/trace.txt";
  std::string cmd = std::string("sh -c 'NOVALOG=") + trace + " timeout --foreground 60 " + NOVA_PLAYER_PATH + " --headless " +
                    dir.Path() + " & p=$!; n=0; while ! grep -qx NovaInitColor " + trace +
                    " 2>/dev/null && [ $n -lt 1200 ]; do sleep 0.05; n=$((n+1)); done; kill -TERM $p; wait $p'";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(test::ReadFile(dir / "trace.txt").find("Project.Free\nSysFuncMan.Free\nParamMan.Free\nNovaFinalize\nMediaFinal\nFormClose\n"),
            std::string::npos);
}

TEST(Player, SecondInstanceEndsSilently) {
  test::TempDir dir;
  auto held = TInstanceLock::TryAcquire(InstanceKey(dir.Path()));
  ASSERT_NE(held, nullptr);
  // Without --frames this would run until closed; the held lock ends it at once.
  EXPECT_EQ(RunPlayer("--headless " + dir.Path()), 0);
}

}  // namespace
}  // namespace nova
