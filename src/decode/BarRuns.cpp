#include "decode/BarRuns.h"

#include <cstddef>

namespace {

struct Extreme {
    std::size_t at;
    float value;
    bool dark;
};

// Alternating darkest and lightest samples, each differing from the one before by the step
// at least (a hysteresis that noise within a run does not cross).
std::vector<Extreme> ExtremesOf(std::span<const float> profile, std::span<const float> steps)
{
    std::vector<Extreme> extremes;
    if (profile.empty())
        return extremes;
    Extreme lightest{0, profile[0], false};
    Extreme darkest{0, profile[0], true};
    int seeking = 0;  // +1 a light extreme next, -1 a dark one, 0 either
    for (std::size_t i = 1; i < profile.size(); ++i) {
        const float value = profile[i];
        const float step = steps[i];
        if (seeking >= 0 && value > lightest.value)
            lightest = {i, value, false};
        if (seeking <= 0 && value < darkest.value)
            darkest = {i, value, true};
        if (seeking >= 0 && lightest.value - value >= step) {
            extremes.push_back(lightest);
            seeking = -1;
            darkest = {i, value, true};
        } else if (seeking <= 0 && value - darkest.value >= step) {
            extremes.push_back(darkest);
            seeking = 1;
            lightest = {i, value, false};
        }
    }
    if (seeking != 0)
        extremes.push_back(seeking > 0 ? lightest : darkest);
    return extremes;
}

// Where the profile crosses midway between two neighbouring extremes; the middle of the first
// and last crossing when noise makes it cross more than once.
double EdgeBetween(std::span<const float> profile, const Extreme& one, const Extreme& next)
{
    const float middle = (one.value + next.value) / 2;
    double first = -1;
    double last = -1;
    for (std::size_t i = one.at; i < next.at; ++i) {
        const float here = profile[i] - middle;
        const float there = profile[i + 1] - middle;
        if ((here <= 0) == (there <= 0))
            continue;
        const double at = static_cast<double>(i) + here / (here - there);
        if (first < 0)
            first = at;
        last = at;
    }
    return first < 0 ? static_cast<double>(one.at + next.at) / 2 : (first + last) / 2;
}

}  // namespace

std::vector<BarRun> RunsAlong(std::span<const float> profile, std::span<const float> steps)
{
    if (steps.size() != profile.size())
        return {};
    const std::vector<Extreme> extremes = ExtremesOf(profile, steps);
    std::vector<BarRun> runs;
    double begin = 0;
    for (std::size_t i = 0; i < extremes.size(); ++i) {
        const double end = i + 1 < extremes.size() ? EdgeBetween(profile, extremes[i], extremes[i + 1])
                                                   : static_cast<double>(profile.size());
        runs.push_back({begin, end, extremes[i].dark});
        begin = end;
    }
    return runs;
}
