#include "platform/Tone.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kRate = 48000;
constexpr unsigned kLatencyUs = 50000;
constexpr double kAmplitude = 0.3 * 32767;  // moderate: about 30 % of full scale
constexpr long kFadeFrames = kRate * 5 / 1000;  // 5 ms ramps against clicks
constexpr long kChunkFrames = 1024;

std::function<void(int, int)>& ToneOverride()
{
    static std::function<void(int, int)> replacement;
    return replacement;
}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;

// ALSA prints its configuration and open errors to stderr by default; the tone is
// best effort, so they are swallowed.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaOnce()
{
    static const bool installed = [] {
        snd_lib_error_set_handler(IgnoreAlsaError);
        return true;
    }();
    (void)installed;
}

// Writes the whole sine to pcm; false when the device gives up.
bool WriteSine(snd_pcm_t* pcm, int hz, long frames)
{
    const long fade = std::min(kFadeFrames, frames / 2);
    const double step = 2 * std::numbers::pi * hz / kRate;
    std::vector<int16_t> chunk(kChunkFrames);
    long written = 0;
    while (written < frames) {
        const long count = std::min(kChunkFrames, frames - written);
        for (long k = 0; k < count; ++k) {
            const long i = written + k;
            double gain = 1.0;
            if (i < fade)
                gain = static_cast<double>(i) / fade;
            else if (frames - 1 - i < fade)
                gain = static_cast<double>(frames - 1 - i) / fade;
            // The phase from the frame index (not accumulated) stays exact over long tones.
            chunk[k] = static_cast<int16_t>(std::lround(kAmplitude * gain * std::sin(step * static_cast<double>(i))));
        }
        long done = 0;
        while (done < count) {
            const snd_pcm_sframes_t result = snd_pcm_writei(pcm, chunk.data() + done, count - done);
            if (result < 0) {
                if (snd_pcm_recover(pcm, static_cast<int>(result), 1) < 0)
                    return false;
                continue;
            }
            done += result;
        }
        written += count;
    }
    return true;
}

}  // namespace

void PlayTone(int hz, int ms)
{
    if (ToneOverride()) {
        ToneOverride()(hz, ms);
        return;
    }
    if (ms <= 0)
        return;

    const auto start = std::chrono::steady_clock::now();
    const auto keepPace = [&] { std::this_thread::sleep_until(start + std::chrono::milliseconds(ms)); };

    SilenceAlsaOnce();
    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
        keepPace();
        return;
    }
    const Pcm pcm(raw);
    if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate, 1, kLatencyUs) < 0) {
        keepPace();
        return;
    }
    const long frames = static_cast<long>(static_cast<long long>(kRate) * ms / 1000);
    if (!WriteSine(pcm.get(), hz, frames)) {
        keepPace();
        return;
    }
    // Drained: the device has played it. A device that does not play in real time (a file
    // or null sink) must not make the program's pace faster than with a sound card.
    snd_pcm_drain(pcm.get());
    keepPace();
}

void SetToneOverride(std::function<void(int hz, int ms)> replacement)
{
    ToneOverride() = std::move(replacement);
}
