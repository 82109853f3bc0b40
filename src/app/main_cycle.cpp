#include "app/main_cycle.h"

void Main(SharedState& shared, platform::Process& process, WindowCycle& windows) {
    shared.KeepRunning = true;
    windows.ShowStart();
    while (shared.KeepRunning && !process.Ended()) {
        windows.ShowMenu();
        if (process.Ended()) {
            return;
        }
        windows.ShowGame();
    }
    if (!process.Ended()) {
        process.End();
    }
}
