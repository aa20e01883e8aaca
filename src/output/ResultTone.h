#pragma once
// The beep that announces every accepted symbol, on both decoding paths.

#include "platform/Tone.h"

inline constexpr int kResultToneHz = 440;
inline constexpr int kResultToneMs = 200;

inline void PlayResultTone()
{
    PlayTone(kResultToneHz, kResultToneMs);
}
