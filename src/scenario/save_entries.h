#pragma once
// The entries of "save.dat": one saved game per slot ("GAMESAVEDATA" + the slot in decimal),
// the status data ("STATUSSAVEDATA") and the files the scenario stored ("save:" names).
#include <cstdint>
#include <string>

namespace nova {

inline constexpr const char* kGameSaveEntryPrefix = "GAMESAVEDATA";
inline constexpr const char* kStatusEntryName = "STATUSSAVEDATA";
inline constexpr const char* kScenarioFilePrefix = "save:";

// "GAMESAVEDATA<slot>".
std::string GameSaveEntryName(int32_t slot);
// The slot of a "GAMESAVEDATA<n>" name (n decimal, 0 or more, fitting 32 bits), else -1.
int32_t SlotOfEntryName(const std::string& name);
// A name beginning with "save:" in any letter case.
bool IsScenarioFileName(const std::string& name);

}  // namespace nova
