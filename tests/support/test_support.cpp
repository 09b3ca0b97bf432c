#include "support/test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"

namespace fs = std::filesystem;

namespace nova::test {

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "novatest-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

static std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

std::string SourceDir() { return EnvOr("NOVA_SOURCE_DIR", NOVA_DEFAULT_SOURCE_DIR); }
std::string BinaryDir() { return EnvOr("NOVA_BINARY_DIR", NOVA_DEFAULT_BINARY_DIR); }

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ENovaError& e) {
    return SjisToUtf8(e.Message());
  }
  return "(no error)";
}

void ResetRunState() {
  SetQuitting(false);
  ClearCloseRequest();
  FrameClock() = TFrameClock{};
}

TRun RunCommand(const std::string& commandLine, const TempDir& scratch) {
  const std::string out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const int status = std::system((commandLine + " >'" + out + "' 2>'" + err + "'").c_str());
  TRun r;
  r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.Out = fs::exists(out) ? ReadFile(out) : std::string();
  r.Err = fs::exists(err) ? ReadFile(err) : std::string();
  return r;
}

std::string NovatoolCommand() { return "'" + BinaryDir() + "/novatool'"; }

}  // namespace nova::test
