#pragma once
// The optional trace log (the tool family's separate logging library): when enabled, named
// trace points and other lines are appended to a text file. Off by default, so the release
// player writes nothing. Enabled by the environment variable NOVALOG naming the file.
#include <cstdio>
#include <string>

namespace nova {

class TTraceLog {
public:
  ~TTraceLog() { Final(); }
  void Init(const std::string& utf8Path);  // opens (truncates) the file; failure leaves it off
  void Write(const std::string& utf8Text); // one line
  void Final();
  bool Enabled() const { return file_ != nullptr; }

private:
  std::FILE* file_ = nullptr;
};

TTraceLog& TraceLog();
// Opens the log when NOVALOG is set.
void InitTraceLogFromEnvironment();
// A named trace point of the player ("FormCreate", "NovaInitialize", ...).
void TracePoint(const char* name);

}  // namespace nova
