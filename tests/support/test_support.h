#pragma once
// Small helpers shared by the test programs.
#include <filesystem>
#include <functional>
#include <string>

namespace nova::test {

// A fresh private folder under the system temporary folder, removed with the object.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);  // creates parent folders
std::string ReadFile(const std::filesystem::path& path);
std::string SourceDir();  // the repository's top folder
std::string BinaryDir();  // the build folder

// The message (in UTF-8) of the ENovaError that f raises, or "(no error)".
std::string ErrorOf(const std::function<void()>& f);

// The process-wide state a test starts a run from: not quitting, no close request, the frame
// clock at zero.
void ResetRunState();

// What a command line left behind: its exit code (-1 when it did not exit) and what it wrote.
struct TRun {
  int Code = -1;
  std::string Out, Err;
};

// Runs commandLine through the shell; its output and errors pass through files in scratch.
TRun RunCommand(const std::string& commandLine, const TempDir& scratch);
// The novatool program of this build, quoted for a command line.
std::string NovatoolCommand();

}  // namespace nova::test
