#pragma once
// Ctrl-C and SIGTERM for the headless player: they ask the frame loop to close the game the
// normal way (teardown, exit page, status data) instead of killing it mid-frame. SDL does the
// same for a player with a window (its quit event).
namespace nova {

void InstallInterruptHandler();
bool InterruptRequested();

}  // namespace nova
