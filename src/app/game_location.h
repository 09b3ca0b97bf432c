#pragma once
// Where the game comes from, decided from the command line before anything opens:
// folders (each one's "game.dat" is an archive, the first is the base folder), a Windows
// executable carrying its archive (appended with the "nv" trailer, or in the resource
// "DUMMY" of type "BINTYPE"), a game.dat given directly, the player's own executable when an
// archive is appended to it, the bundled game folder, or nothing (an empty window).
#include <string>
#include <vector>

namespace nova {

class TVrFileManager;

enum class GameKind { Folders, Executable, ArchiveFile, OwnExecutable, Empty };

struct TGameLocation {
  GameKind Kind = GameKind::Empty;
  std::string GameFolder;             // UTF-8, no trailing "/": the folder of game.ini and save.dat
  std::string GameName;               // UTF-8: the folder's (or file's) name, for the per-game save folder
  std::vector<std::string> Folders;   // Folders: every folder given, in order (UTF-8)
  std::string ArchivePath;            // Executable / ArchiveFile / OwnExecutable: the file (UTF-8)
  std::string KeySource;              // what the instance key is made from
};

// games: the command line's game arguments (UTF-8); selfExe: our own executable;
// bundledDir: the bundled game folder (used when it exists). Raises ENovaError for a game
// argument that names nothing.
TGameLocation LocateGame(const std::vector<std::string>& games, const std::string& selfExe,
                         const std::string& bundledDir);

// The instance key: upper-cased (ASCII letters only), a trailing "\" added, every "\" -> "-".
// source is a local path; it is made absolute and written with "\" separators first.
std::string InstanceKey(const std::string& source);

// True when the file's last two bytes are "nv" (an archive appended with its trailer).
bool HasArchiveTrailer(const std::string& utf8Path);
// True when the file is a Windows executable whose resource "DUMMY" of type "BINTYPE"
// ends in "vf".
bool HasResourceArchive(const std::string& utf8Path);

// Registers the in-memory archive 0, the base folder and the game's archives.
void RegisterArchives(TVrFileManager& manager, const TGameLocation& location);
// Carries out the file manager's pending deletions of temporary files.
void ProcessFileDeletions();

// The folder of save.dat: the game folder when writable, else $XDG_DATA_HOME/novaplayer/<name>/
// (created). Raises ENovaError when that folder cannot be made.
std::string DefaultSaveDir(const TGameLocation& location);

}  // namespace nova
