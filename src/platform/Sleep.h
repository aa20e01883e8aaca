#pragma once
// Blocking waits of the GUI thread.

#include <functional>

// Blocks the calling thread for ms milliseconds.
void Sleep(int ms);

// Test and benchmark seam: while set, Sleep calls this instead of waiting.
// An empty function restores the real wait.
void SetSleepOverride(std::function<void(int ms)> replacement);
