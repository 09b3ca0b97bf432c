#pragma once
// Where the game comes from, decided from the command line before anything opens:
// folders (each one's "game.dat" is an archive, the first is the base folder), a Windows
// executable carrying its archive (appended with the "nv" trailer, or in the resource
// "DUMMY" of type "BINTYPE"), a game.dat given directly, the player's own executable when an
// archive is appended to it, the bundled game folder, or nothing (an empty window). What a
// path holds is decided by the archive library's one container probe.
#include <filesystem>
#include <string>
#include <vector>

#include "archive/game_container.h"

namespace nova {

class TVrFileManager;

enum class GameKind { Folders, Executable, ArchiveFile, OwnExecutable, Empty };

struct TGameLocation {
  GameKind Kind = GameKind::Empty;
  std::filesystem::path GameFolder;            // the folder of game.ini and save.dat
  std::string GameName;                        // UTF-8: the folder's (or file's) name, for the per-game save folder
  std::vector<std::filesystem::path> Folders;  // Folders: every folder given, in order
  TGameContainer Container;                    // Executable / ArchiveFile / OwnExecutable: the file
  std::filesystem::path KeySource;             // what the instance key is made from
};

// games: the command line's game arguments; selfExe: our own executable; bundledDir: the
// bundled game folder (used when it exists). Raises ENovaError for a game argument that
// names nothing.
TGameLocation LocateGame(const std::vector<std::filesystem::path>& games, const std::filesystem::path& selfExe,
                         const std::filesystem::path& bundledDir);

// The instance key: upper-cased (ASCII letters only), a trailing "\" added, every "\" -> "-".
// source is made absolute and written with "\" separators first.
std::string InstanceKey(const std::filesystem::path& source);

// Registers the in-memory archive 0, the base folder and the game's archives.
void RegisterArchives(TVrFileManager& manager, const TGameLocation& location);

// The folder of save.dat: the game folder when writable, else $XDG_DATA_HOME/novaplayer/<name>/
// (created). Raises ENovaError when that folder cannot be made.
std::filesystem::path DefaultSaveDir(const TGameLocation& location);

}  // namespace nova
