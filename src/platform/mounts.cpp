#include "platform/mounts.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nova {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// /proc/mounts writes blanks and a few other bytes in mount points as \ooo octal.
std::string UnescapeMountField(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && IsOctal(s[i + 1]) && IsOctal(s[i + 2]) && IsOctal(s[i + 3])) {
      out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool Contains(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return true;
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

bool IsOnOpticalMedium(const std::string& absolutePath, const std::string& mountTable) {
  std::istringstream in(mountTable);
  std::string line, best;
  bool bestOptical = false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = UnescapeMountField(point);
    if (!Contains(point, absolutePath) || point.size() < best.size()) continue;
    best = point;  // the last of equal mount points is the one in effect
    bestOptical = type == "iso9660" || type == "udf" || device.rfind("/dev/sr", 0) == 0;
  }
  return bestOptical;
}

bool IsOnOpticalMedium(const std::string& path) {
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return false;
  std::ifstream mounts("/proc/self/mounts");
  if (!mounts) return false;
  std::stringstream table;
  table << mounts.rdbuf();
  return IsOnOpticalMedium(resolved, table.str());
}

}  // namespace nova
