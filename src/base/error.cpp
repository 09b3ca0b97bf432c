#include "base/error.h"

#include "base/encoding.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace nova {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

void RaiseError(const std::string& message) { throw ENovaError(message); }

std::string HostPathText(const std::filesystem::path& path) { return Utf8ToSjis(path.string()); }

}  // namespace nova
