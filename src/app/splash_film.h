#pragma once
// The player's own start-up film: a short logo made at build time from its description
// (src/app/splash/splash.film) by `novatool film build` and compiled into the player.
#include <cstdint>
#include <span>

namespace nova {

std::span<const uint8_t> SplashFilmBytes();

}  // namespace nova
