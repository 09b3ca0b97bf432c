#pragma once
// A small reader of the resource directory of a Windows executable (PE): DOS header ->
// PE header -> section table -> resource directory (type -> name -> language). Named types
// and names are UTF-16 strings, compared ASCII-case-insensitively as the system does.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace nova {

struct TPeResource {
  int64_t offset = 0;  // position of the resource data in the file
  int64_t size = 0;
};

enum class PeLookup { Found, NotPe, Missing };

// Looks up the resource name of type type (ASCII names, e.g. "DUMMY" / "BINTYPE").
// NotPe: the file cannot be read or is not a well-formed PE image.
PeLookup FindPeResource(const std::filesystem::path& localPath, const std::string& name, const std::string& type,
                        TPeResource& out);

}  // namespace nova
