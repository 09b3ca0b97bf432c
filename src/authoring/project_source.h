#pragma once
// The project description of a scenario source folder ("project.nsp", UTF-8) <-> "nova.npb".
#include <string>

#include "scenario/project_file.h"

namespace nova::source {

TProjectFile ParseProjectSource(const std::string& text, const std::string& file);  // raises TBuildError
std::string FormatProjectSource(const TProjectFile& project);

}  // namespace nova::source
