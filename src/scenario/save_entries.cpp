#include "scenario/save_entries.h"

#include <cstring>

#include "base/sjis.h"

namespace nova {

std::string GameSaveEntryName(int32_t slot) { return kGameSaveEntryPrefix + std::to_string(slot); }

int32_t SlotOfEntryName(const std::string& name) {
  const size_t prefix = std::strlen(kGameSaveEntryPrefix);
  if (name.size() <= prefix || name.compare(0, prefix, kGameSaveEntryPrefix) != 0) return -1;
  int64_t n = 0;
  for (size_t i = prefix; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
    if (n > INT32_MAX) return -1;
  }
  return static_cast<int32_t>(n);
}

bool IsScenarioFileName(const std::string& name) { return StartsWithText(name, kScenarioFilePrefix); }

}  // namespace nova
