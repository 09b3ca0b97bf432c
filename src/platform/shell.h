#pragma once
// The shell's "open" of a web address or a folder: xdg-open, started detached. The headless
// shell opens nothing and only remembers what it was asked.
#include <memory>
#include <string>
#include <vector>

namespace nova {

class TShell {
public:
  virtual ~TShell() = default;
  virtual bool Open(const std::string& utf8Target) = 0;
};

std::unique_ptr<TShell> CreateDesktopShell();

class THeadlessShell : public TShell {
public:
  bool Open(const std::string& utf8Target) override {
    opened_.push_back(utf8Target);
    return true;
  }
  const std::vector<std::string>& Opened() const { return opened_; }

private:
  std::vector<std::string> opened_;
};

}  // namespace nova
