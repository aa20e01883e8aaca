// What Lumora's camera path reads in a corpus (the misread hunt of tests/data/make-hunt):
// every picture listed in TRUTH.txt, fitted into a 640x480 frame, is shown to the real
// capture loop for a few frames, each a little different as a camera gives them (a shift
// of a pixel or so, a fraction of a degree, a percent of scale and of exposure, fresh sensor
// noise, now and then a slight motion blur), then blank frames, as every report makes the
// loop read five further frames unscanned. Pauses and tone do nothing. Each result line is
// the picture's whose frame the pass scanned; one line per picture on standard output:
//   relpath<TAB>text<TAB>text...   (every result line, repeats kept, escaped as TRUTH.txt)
// The frames go through a temporary folder in batches, as an image sequence the loop opens
// anew for each batch; each batch's lines are printed when it is done, so that what was
// measured is kept should the run be stopped or die. Seeded
// by each picture's path: a picture gets the same frames in any corpus.
// Usage: lumora_bench_huntcamera CORPUS [--frames N] [--batch N] [--seed N] [--from N] > answers.txt
// (--from N starts at the Nth picture, counted from 1: to go on after such an end.)

#include "BenchKit.h"
#include "CaptureRig.h"

#include "app/CaptureState.h"
#include "TempDir.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <QApplication>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultFrames = 8;
constexpr int kDefaultBatch = 50;
constexpr int kDefaultSeed = 1;
constexpr int kFramesSkippedPerReport = 5;
constexpr double kShiftPx = 1.5;
constexpr double kTurnDegrees = 0.4;
constexpr double kScale = 0.01;
constexpr double kExposure = 0.04;
constexpr double kNoiseLevels = 2.0;  // of 255
constexpr double kMotionBlurChance = 0.15;

// The picture as one still frame in gray, or an empty matrix when it does not load.
cv::Mat StillFrame(const std::filesystem::path& picture)
{
    try {
        cv::Mat gray;
        cv::cvtColor(FramesFrom({picture}).front(), gray, cv::COLOR_BGR2GRAY);
        return gray;
    } catch (const std::runtime_error&) {
        return {};
    }
}

// The still as the camera's next frame: the hand moves a little, the exposure breathes,
// the sensor's noise is new.
cv::Mat CameraFrame(const cv::Mat& still, cv::RNG& rng)
{
    const cv::Point2f centre(static_cast<float>(still.cols) / 2, static_cast<float>(still.rows) / 2);
    cv::Mat move = cv::getRotationMatrix2D(centre, rng.uniform(-kTurnDegrees, kTurnDegrees),
                                           1.0 + rng.uniform(-kScale, kScale));
    move.at<double>(0, 2) += rng.uniform(-kShiftPx, kShiftPx);
    move.at<double>(1, 2) += rng.uniform(-kShiftPx, kShiftPx);
    cv::Mat frame;
    cv::warpAffine(still, frame, move, still.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    if (rng.uniform(0.0, 1.0) < kMotionBlurChance) {
        const double length = rng.uniform(1.5, 3.0);
        const double angle = rng.uniform(0.0, CV_PI);
        cv::Mat kernel = cv::Mat::zeros(5, 5, CV_32F);
        for (int i = 0; i <= 8; ++i) {
            const double t = (i / 8.0 - 0.5) * length;
            kernel.at<float>(static_cast<int>(std::lround(2 + t * std::sin(angle))),
                             static_cast<int>(std::lround(2 + t * std::cos(angle)))) += 1.0F;
        }
        cv::filter2D(frame, frame, -1, kernel / cv::sum(kernel)[0]);
    }
    cv::Mat noisy;
    frame.convertTo(noisy, CV_32F, 1.0 + rng.uniform(-kExposure, kExposure));
    cv::Mat noise(frame.size(), CV_32F);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, kNoiseLevels);
    noisy += noise;
    noisy.convertTo(frame, CV_8U);
    return frame;
}

// Writes one batch as folder/f00000.png...: each picture's frames, then the blank frames its
// reports may skip (hard links to one white frame). Returns, per frame, the index of the
// picture it shows, or -1.
std::vector<std::ptrdiff_t> WriteBatch(const std::filesystem::path& folder, const std::filesystem::path& corpus,
                                       const std::vector<CorpusPicture>& pictures, std::size_t first,
                                       std::size_t count, int frames, std::uint64_t seed)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::filesystem::remove(entry.path());
    const std::filesystem::path white = folder / "white.png";
    cv::Mat whiteFrame;
    cv::cvtColor(WhiteFrame(), whiteFrame, cv::COLOR_BGR2GRAY);
    if (!cv::imwrite(white.string(), whiteFrame))
        throw std::runtime_error("cannot write the frames into " + folder.string());
    const std::vector<int> png{cv::IMWRITE_PNG_COMPRESSION, 1};
    std::vector<std::ptrdiff_t> owners;
    auto next = [&] { return folder / cv::format("f%05d.png", static_cast<int>(owners.size())); };
    for (std::size_t i = first; i < first + count; ++i) {
        const cv::Mat still = StillFrame(corpus / pictures[i].relpath);
        cv::RNG rng(seed * 0x9E3779B97F4A7C15ULL + std::hash<std::string>{}(pictures[i].relpath));
        for (int f = 0; f < frames && !still.empty(); ++f) {
            if (!cv::imwrite(next().string(), CameraFrame(still, rng), png))
                throw std::runtime_error("cannot write the frames into " + folder.string());
            owners.push_back(static_cast<std::ptrdiff_t>(i));
        }
        // A pass that reports reads five frames unscanned per symbol; one more blank
        // keeps the next picture's first frame from being skipped by this one's reports.
        const std::size_t blanks = kFramesSkippedPerReport * std::max<std::size_t>(1, pictures[i].texts) + 1;
        for (std::size_t b = 0; b < blanks; ++b) {
            std::filesystem::create_hard_link(white, next());
            owners.push_back(-1);
        }
    }
    return owners;
}

int Run(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]).starts_with("--"))
        throw std::runtime_error(
            "usage: lumora_bench_huntcamera CORPUS [--frames N] [--batch N] [--seed N] [--from N]");
    PrepareLikeTheProgram();
    QApplication app(argc, argv);
    const std::filesystem::path corpus = argv[1];
    const std::vector<CorpusPicture> pictures = CorpusPictures(corpus);
    const int frames = IntOption(argc, argv, "frames", kDefaultFrames);
    const auto batch = static_cast<std::size_t>(IntOption(argc, argv, "batch", kDefaultBatch));
    const auto seed = static_cast<std::uint64_t>(IntOption(argc, argv, "seed", kDefaultSeed));
    const auto from = static_cast<std::size_t>(IntOption(argc, argv, "from", 1)) - 1;

    const TempDir folder;
    const std::string sequence = (folder.path() / "f%05d.png").string();
    std::vector<std::vector<std::string>> answers(pictures.size());
    std::vector<std::ptrdiff_t> owners;
    std::size_t scanned = 0;  // the frame the current pass reads first
    std::unique_ptr<CLumoraDlg> dialog;
    const auto start = BenchClock::now();
    const PassEnds passEnds([&] {
        const QString lines = dialog->m_editResult->toPlainText();
        if (!lines.isEmpty()) {
            for (const QString& text : lines.split(u'\n', Qt::SkipEmptyParts)) {
                if (scanned < owners.size() && owners[scanned] >= 0)
                    answers[static_cast<std::size_t>(owners[scanned])].push_back(text.toUtf8().toStdString());
                else
                    std::fprintf(stderr, "a result on a blank frame (%zu): %s\n", scanned, qPrintable(text));
            }
            dialog->OnClear();
        }
        scanned = static_cast<std::size_t>(g_capture.get(cv::CAP_PROP_POS_FRAMES));
        if (SequenceRanOut(g_capture))
            g_stopRequested = 1;
    });
    for (std::size_t first = from; first < pictures.size(); first += batch) {
        const std::size_t count = std::min(batch, pictures.size() - first);
        owners = WriteBatch(folder.path(), corpus, pictures, first, count, frames, seed);
        if (!dialog)
            dialog = DialogWithCamera(sequence);
        scanned = 0;
        dialog->OnStartCapture();
        if (scanned < owners.size())
            throw std::runtime_error("the capture run ended before the batch's last frame");
        for (std::size_t i = first; i < first + count; ++i) {
            std::string line = pictures[i].relpath;
            for (const std::string& text : answers[i])
                line.append(1, '\t').append(EscapedLikeTruth(text));
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
        std::fprintf(stderr, "huntcamera: %zu of %zu pictures, %.0f s\n", first + count, pictures.size(),
                     SecondsBetween(start, BenchClock::now()));
    }
    CloseDialog(dialog);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
