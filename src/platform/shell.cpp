#include "platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace nova {
namespace {

class TDesktopShell : public TShell {
public:
  bool Open(const std::string& utf8Target) override {
    if (utf8Target.empty()) return false;
    // "--" is not understood by xdg-open; a target that looks like an option is refused instead.
    if (utf8Target[0] == '-') return false;
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(utf8Target.c_str()), nullptr};
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
    // Some desktops keep xdg-open running while the browser runs: reap it on the side so the
    // frame loop never waits and no zombie stays.
    std::thread([pid] {
      int status = 0;
      waitpid(pid, &status, 0);
    }).detach();
    return true;
  }
};

}  // namespace

std::unique_ptr<TShell> CreateDesktopShell() { return std::make_unique<TDesktopShell>(); }

}  // namespace nova
