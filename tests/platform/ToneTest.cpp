// Each test case runs in its own process (CTest), so the HOME set at its start is the one
// ALSA reads its ~/.asoundrc from: alsa-lib loads its configuration once per process.

#include "platform/Tone.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;

// Points ALSA's "default" PCM of this process at the given configuration text.
void UseAsoundrc(const TempDir& home, const std::string& config)
{
    std::ofstream(home / ".asoundrc") << config;
    ASSERT_EQ(setenv("HOME", home.path().c_str(), 1), 0);
}

std::string FileAsoundrc(const std::filesystem::path& output)
{
    // The file plugin writes what is played to a file; the null plugin plays it nowhere.
    return "pcm.!default {\n"
           "  type file\n"
           "  slave.pcm \"null\"\n"
           "  file \"" + output.string() + "\"\n"
           "  format \"raw\"\n"
           "}\n";
}

std::vector<int16_t> ReadSamples(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
}

}  // namespace

TEST(Tone, PlaysA440HzSineOfTheAskedLengthOnTheDefaultDevice)
{
    const TempDir home;
    const std::filesystem::path output = home / "out.raw";
    UseAsoundrc(home, FileAsoundrc(output));

    const auto started = std::chrono::steady_clock::now();
    PlayTone(440, 200);
    // A file sink plays at once; the call still takes the tone's time, as with a sound card.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(190));

    const std::vector<int16_t> samples = ReadSamples(output);
    const size_t expected = kRate * 200 / 1000;
    // The last period may be padded with silence: 50 ms of buffer bounds any period.
    ASSERT_GE(samples.size(), expected);
    EXPECT_LE(samples.size(), expected + kRate * 50 / 1000);

    // Moderate loudness: roughly 30 % of full scale, never clipping.
    int peak = 0;
    for (const int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 32767 * 20 / 100);
    EXPECT_LT(peak, 32767 * 40 / 100);

    // Frequency from the rising zero crossings, interpolated between samples.
    std::vector<double> crossings;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double a = samples[i - 1];
            const double b = samples[i];
            crossings.push_back(static_cast<double>(i - 1) + (-a) / (b - a));
        }
    }
    ASSERT_GE(crossings.size(), 80u);
    EXPECT_LE(crossings.size(), 90u);
    const double frequency = (crossings.size() - 1) * kRate / (crossings.back() - crossings.front());
    EXPECT_NEAR(frequency, 440.0, 440.0 * 0.02);

    // The tone fills the 200 ms: sound in its first and last 10 ms, silence after it.
    const auto loudIn = [&](size_t from, size_t to) {
        int loud = 0;
        for (size_t i = from; i < to; ++i)
            loud = std::max(loud, std::abs(static_cast<int>(samples[i])));
        return loud;
    };
    EXPECT_GT(loudIn(0, kRate / 100), 1000);
    EXPECT_GT(loudIn(expected - kRate / 100, expected), 1000);
    EXPECT_EQ(loudIn(expected, samples.size()), 0);
}

TEST(Tone, WaitsInsteadWhenNoDeviceOpensAndPrintsNothing)
{
    const TempDir home;
    UseAsoundrc(home, "pcm.!default { type hw; card 99 }\n");

    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    PlayTone(440, 200);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const std::string printed = testing::internal::GetCapturedStderr();

    EXPECT_GE(elapsed, std::chrono::milliseconds(190));
    EXPECT_EQ(printed, "");
}

TEST(Tone, OverrideReplacesTheToneAndLeavesAlsaAlone)
{
    const TempDir home;
    const std::filesystem::path output = home / "out.raw";
    UseAsoundrc(home, FileAsoundrc(output));

    std::vector<std::pair<int, int>> calls;
    SetToneOverride([&](int hz, int ms) { calls.emplace_back(hz, ms); });
    const auto start = std::chrono::steady_clock::now();
    PlayTone(440, 200);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetToneOverride({});

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(440, 200));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_LT(elapsed, std::chrono::milliseconds(150));  // no wait of its own either
}
