#pragma once
// Errors carry the system's own message text (Shift-JIS); the edge decides to show or drop them.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace nova {

class ENovaError : public std::runtime_error {
public:
  explicit ENovaError(const std::string& message) : std::runtime_error(message) {}
  const std::string Message() const { return what(); }
};

// printf-style formatting into a byte string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

[[noreturn]] void RaiseError(const std::string& message);

// A path on the user's disk as it appears in a message (Shift-JIS; characters Shift-JIS
// cannot hold show as "?").
std::string HostPathText(const std::filesystem::path& path);

}  // namespace nova
