#pragma once
// Where a file lies: the player refuses to run from optical media (the CD-ROM check of the
// original), found through the mount table.
#include <string>

namespace nova {

// True when path lies on a mounted iso9660 or udf file system (or a /dev/sr* device).
bool IsOnOpticalMedium(const std::string& path);
// The same against a given mount table in /proc/mounts form (path already absolute).
bool IsOnOpticalMedium(const std::string& absolutePath, const std::string& mountTable);

}  // namespace nova
