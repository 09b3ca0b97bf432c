#pragma once
// The compiled texts of the scenario as message boxes and the history look for them: a page's
// TextIns text blocks by command index, from the interpreter's copy of the page when it holds
// one (same name ignoring case), else read from the page file.
#include <functional>
#include <memory>
#include <string>

#include "components/text/mes_text_source.h"

namespace nova {

class TCallMan;

class TScenarioTexts : public TMesTextSource {
public:
  // The interpreter may be absent (no project yet) or change; it is asked each time.
  explicit TScenarioTexts(std::function<TCallMan*()> interpreter) : interpreter_(std::move(interpreter)) {}
  bool PageExists(const std::string& page) override;
  std::shared_ptr<const TMesTextPage> LoadPage(const std::string& page) override;

private:
  std::function<TCallMan*()> interpreter_;
};

}  // namespace nova
