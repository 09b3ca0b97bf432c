#pragma once
// SIGINT and SIGTERM close the game the normal way (teardown, exit page, status data) instead
// of killing it mid-frame: the handler sets the quitting flag and the close request, which
// also end an interpreter pass that never yields. A second signal ends the process at once.
namespace nova {

void InstallInterruptHandler();
// The number of interrupting signals received since the handler was installed.
int InterruptCount();

}  // namespace nova
