#pragma once
// Opens whatever novatool is given as an archive: game.dat (with its segments or its ".ext"
// side file), an executable with an appended archive, or one holding the DUMMY resource.
#include <string>

#include "archive/vrfile_collection.h"

namespace nova::tools {

// path: UTF-8. Raises a clear error when the file is no archive.
void OpenArchiveForTool(const std::string& path, TVrFileCollection& collection);

}  // namespace nova::tools
