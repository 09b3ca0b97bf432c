#pragma once
// The player's platform on the real libraries: an SDL window with message boxes, the system
// clock, xdg-open, the FreeType caption face and the FreeType font rasteriser. Headless runs
// take the headless bundle of platform/platform.h instead, with the FreeType rasteriser.
#include <memory>

#include "platform/platform.h"

namespace nova {

std::unique_ptr<TPlatform> CreateSdlPlatform();

// The bundle the player runs with.
std::unique_ptr<TPlatform> CreatePlayerPlatform(bool headless);

}  // namespace nova
