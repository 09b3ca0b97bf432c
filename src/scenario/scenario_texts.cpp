#include "scenario/scenario_texts.h"

#include "archive/vrfiles.h"
#include "base/sjis.h"
#include "scenario/call_man.h"
#include "scenario/commands_text.h"
#include "scenario/pages.h"

namespace nova {

namespace {

std::shared_ptr<const TMesTextPage> TextsOf(const TPage& page) {
  auto texts = std::make_shared<TMesTextPage>();
  texts->Name = page.Name();
  texts->Blocks.resize(static_cast<size_t>(page.Count()));
  for (int i = 0; i < page.Count(); ++i)
    if (auto* ins = dynamic_cast<const TComTextIns*>(page.Command(i))) texts->Blocks[static_cast<size_t>(i)] = ins->TextBlock();
  return texts;
}

}  // namespace

bool TScenarioTexts::PageExists(const std::string& page) { return !page.empty() && FileManager().Exists(page); }

std::shared_ptr<const TMesTextPage> TScenarioTexts::LoadPage(const std::string& page) {
  if (TCallMan* cm = interpreter_ ? interpreter_() : nullptr)
    for (int i = 0; i < cm->CachedPageCount(); ++i)
      if (SameText(cm->CachedPage(i)->Name(), page)) return TextsOf(*cm->CachedPage(i));
  TPage loaded;
  loaded.Load(page);
  return TextsOf(loaded);
}

}  // namespace nova
