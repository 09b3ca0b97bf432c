#pragma once
// What a path on the user's disk holds as a game, decided in one place for the player and
// novatool: a folder, an archive file ("game.dat", any file that is not an executable), or an
// executable (a Windows "MZ" file whatever its name, or our own ELF binary) carrying its
// archive after its end (trailer int32 position + "nv") and/or in its resource "DUMMY" of type
// "BINTYPE" (when that resource ends in "vf").
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "archive/vrfile_collection.h"

namespace nova {

enum class TContainerKind { Folder, ArchiveFile, Executable };

struct TGameContainer {
  TContainerKind Kind = TContainerKind::Folder;
  std::filesystem::path Path;
  bool Windows = false;             // an executable in the Windows ("MZ") format
  bool AppendedArchive = false;     // an executable whose last two bytes are "nv"
  bool ResourceArchive = false;     // a Windows executable with the "DUMMY"/"BINTYPE" archive
};

// Nothing when the path names neither a folder nor a regular file.
std::optional<TGameContainer> ProbeGameContainer(const std::filesystem::path& path);

// The archives a container file holds, opened, in the order the player registers them: the
// resource archive, then the appended one (an executable), or the archive file itself.
// Raises ENovaError when an executable carries no archive or an archive is damaged.
std::vector<std::unique_ptr<TVrFileCollection>> OpenContainerArchives(const TGameContainer& container);

// The one archive a file holds, for tools that read a single archive: an executable's appended
// archive (else its resource archive), or the archive file itself. Raises ENovaError when the
// path is no file or holds no archive.
std::unique_ptr<TVrFileCollection> OpenArchiveOf(const std::filesystem::path& file);

}  // namespace nova
