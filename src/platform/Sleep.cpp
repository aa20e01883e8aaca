#include "platform/Sleep.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {
std::function<void(int)>& SleepOverride()
{
    static std::function<void(int)> replacement;
    return replacement;
}
}  // namespace

void Sleep(int ms)
{
    if (SleepOverride()) {
        SleepOverride()(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetSleepOverride(std::function<void(int ms)> replacement)
{
    SleepOverride() = std::move(replacement);
}
