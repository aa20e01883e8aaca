#include "platform/Sleep.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {
std::function<void(int)>& Override()
{
    static std::function<void(int)> replacement;
    return replacement;
}
}  // namespace

void Sleep(int ms)
{
    if (Override()) {
        Override()(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetSleepOverride(std::function<void(int ms)> replacement)
{
    Override() = std::move(replacement);
}
