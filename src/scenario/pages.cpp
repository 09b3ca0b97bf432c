#include "scenario/pages.h"

#include "archive/vrfiles.h"
#include "params/param_collection.h"
#include "scenario/messages.h"

namespace nova {

TPage::~TPage() {
  if (!store_ || name_.empty()) return;
  // The page's own variable lives as long as the page is cached.
  if (TParamCollectionItem* item = store_->FindParam(std::string("\x01") + name_)) store_->FreeItem(item);
}

void TPage::Load(const std::string& name) {
  name_ = name;
  commands_.clear();
  TKtMemoryStream data;
  FileManager().ReadFile(data, name);
  LoadFromStream(data, name);
}

void TPage::LoadFromStream(TStream& s, const std::string& name) {
  name_ = name;
  commands_.clear();
  propSets_ = {};
  resultType_ = 1;
  int64_t start = s.Position();
  version_ = s.ReadInt32();
  if (version_ > kPageVersionMax) return;  // too new: an empty page
  if (version_ < kPageVersionMin) throw EPageOutdated(name + "\r\n" + msg::Rebuild());
  s.SetPosition(start);
  TPageFile file;
  ReadPageFile(s, file);
  resultType_ = file.ResultType;
  propSets_ = file.PropSets;
  commands_.reserve(file.Commands.size());
  for (TCommandRecord& rec : file.Commands) {
    std::unique_ptr<TCommand> cmd = CreateCommand(this, rec.Code());
    cmd->LoadFromRecord(rec, version_);
    commands_.push_back(std::move(cmd));
  }
}

int TPage::IndexOf(const TCommand* command) const {
  for (size_t i = 0; i < commands_.size(); ++i)
    if (commands_[i].get() == command) return static_cast<int>(i);
  return -1;
}

int TPage::FindLabel(const std::string& name) const {
  for (size_t i = 0; i < commands_.size(); ++i)
    if (commands_[i]->IsLabel(name)) return static_cast<int>(i);
  return -1;
}

}  // namespace nova
