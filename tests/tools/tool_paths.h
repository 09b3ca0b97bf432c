#pragma once
// The repository and build folders: from the environment when set, else as configured.
#include <cstdlib>
#include <string>

namespace nova::test {

inline std::string ToolsSourceDir() {
  const char* v = std::getenv("NOVA_SOURCE_DIR");
  return v && *v ? v : NOVA_TOOLS_SOURCE_DIR;
}
inline std::string ToolsBinaryDir() {
  const char* v = std::getenv("NOVA_BINARY_DIR");
  return v && *v ? v : NOVA_TOOLS_BINARY_DIR;
}

}  // namespace nova::test
