#include "app/main_cycle.h"

void Main(SharedState& shared, platform::Process& process, WindowCycle& windows) {
    shared.KeepRunning = true;
    windows.ShowStart();
    while (shared.KeepRunning) {
        windows.ShowMenu();
        windows.ShowGame();
    }
    process.End();
}
