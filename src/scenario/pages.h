#pragma once
// A scenario page: the commands of one compiled page file, addressed by index.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/stream.h"
#include "scenario/command.h"
#include "scenario/page_format.h"

namespace nova {

class TParamCollection;

// A page of a version the player no longer runs (102 or lower): the author must rebuild it.
// The message names the page and asks for a rebuild; the page stays empty.
class EPageOutdated : public ENovaError {
public:
  using ENovaError::ENovaError;
};

class TPage {
public:
  // The store loses the page's own variable ("\x01" + name) when the page is freed.
  explicit TPage(TParamCollection* store = nullptr) : store_(store) {}
  ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  // Reads the page through the file manager. A page of version 102 or lower raises
  // EPageOutdated and stays empty; a page newer than the player reads is empty.
  void Load(const std::string& name);
  void LoadFromStream(TStream& s, const std::string& name);

  const std::string& Name() const { return name_; }
  int32_t Version() const { return version_; }
  uint8_t ResultType() const { return resultType_; }
  const TPropSet& PropSet(int code) const { return propSets_[static_cast<size_t>(code)]; }

  int Count() const { return static_cast<int>(commands_.size()); }
  TCommand* Command(int index) const { return commands_[static_cast<size_t>(index)].get(); }
  bool Contains(int index) const { return index >= 0 && index < Count(); }
  int IndexOf(const TCommand* command) const;
  int FindLabel(const std::string& name) const;  // first command whose IsLabel holds, or -1

private:
  TParamCollection* store_;
  std::string name_;
  int32_t version_ = 0;
  uint8_t resultType_ = 1;
  std::array<TPropSet, kCommandCount> propSets_{};
  std::vector<std::unique_ptr<TCommand>> commands_;
};

}  // namespace nova
