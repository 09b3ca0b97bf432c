#include "platform/trace_log.h"

#include <cstdlib>

namespace nova {

void TTraceLog::Init(const std::string& utf8Path) {
  Final();
  file_ = std::fopen(utf8Path.c_str(), "w");
}

void TTraceLog::Write(const std::string& utf8Text) {
  if (!file_) return;
  std::fputs(utf8Text.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void TTraceLog::Final() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

TTraceLog& TraceLog() {
  static TTraceLog log;
  return log;
}

void InitTraceLogFromEnvironment() {
  const char* path = std::getenv("NOVALOG");
  if (path && *path) TraceLog().Init(path);
}

void TracePoint(const char* name) { TraceLog().Write(name); }

}  // namespace nova
