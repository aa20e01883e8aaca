#pragma once
// The beep: a sine tone on the ALSA PCM device "default".

#include <functional>

// Plays hz for ms milliseconds and returns once the tone has been played, never before ms
// milliseconds. Without a sound device it waits ms milliseconds instead, so the program
// keeps the same pace everywhere.
void PlayTone(int hz, int ms);

// Test and benchmark seam: while set, PlayTone calls this instead of touching ALSA.
// An empty function restores the real tone.
void SetToneOverride(std::function<void(int hz, int ms)> replacement);
