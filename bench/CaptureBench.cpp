// A pass of the real capture loop against its floor. The loop runs over an image sequence
// of 640x480 frames made from a folder of pictures, with its 50 ms pause and the feedback's
// pauses and tone replaced by nothing; each round is one run through the whole sequence.
// The floor goes through the same sequence with its own capture: read, convert to gray,
// the two engines' bare reads. A pass that reports a symbol also reads the five frames the
// feedback skips; the floor reads those too, so both make the same passes over the same frames. Each
// pass's time is the median of its rounds; the figures are their mean over the passes.
// Usage: lumora_bench_capture [FOLDER] [--rounds N]   (one Markdown table row on stdout)

#include "BenchKit.h"
#include "CaptureRig.h"

#include "app/CaptureState.h"
#include "TempDir.h"

#include <opencv2/imgproc.hpp>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

constexpr int kDefaultRounds = 31;
constexpr double kGoalRatio = 1.15;
constexpr double kGoalPassesPerSecond = 30;

// The floor's pass over the frame the capture loop's pass has just handled: read, convert,
// the bare reads, and the frames the feedback skipped after each symbol it reported.
void FloorPass(cv::VideoCapture& capture, cv::Mat& frame, cv::Mat& gray)
{
    if (!capture.read(frame))
        return;
    cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
    static_cast<void>(BareScan(gray));  // the floor's cost is the reads themselves
    static_cast<void>(BareZxingRead(gray, BenchPath::Camera));
    while (capture.get(cv::CAP_PROP_POS_FRAMES) < g_capture.get(cv::CAP_PROP_POS_FRAMES))
        if (!capture.read(frame))
            break;
}

// The whole measurement; main reports what it throws.
int Run(int argc, char** argv)
{
    PrepareLikeTheProgram();
    QApplication app(argc, argv);

    const int rounds = IntOption(argc, argv, "rounds", kDefaultRounds);
    const TempDir folder;
    const std::vector<cv::Mat> frames = FramesFrom(DroppablePictures(PictureFolder(argc, argv)));
    const std::string sequence = WriteSequence(folder.path(), frames);
    cv::VideoCapture floorCapture(sequence);
    if (!floorCapture.isOpened()) {
        std::fprintf(stderr, "OpenCV cannot open %s\n", sequence.c_str());
        return 1;
    }
    cv::Mat floorFrame;
    cv::Mat floorGray;

    // Pass by pass in turn: each pass of the loop is followed, off its clock, by the floor's
    // pass over the same frame, so that both meet the same load on a shared machine.
    std::unique_ptr<CLumoraDlg> dialog = DialogWithCamera(sequence);
    std::vector<std::vector<double>> lumoraTimes;
    std::vector<std::vector<double>> floorTimes;
    std::size_t pass = 0;
    int round = -1;  // the first run through the sequence warms up
    bool inStep = true;
    auto passStart = BenchClock::now();
    const PassEnds passEnds([&] {
        const double lumora = SecondsBetween(passStart, BenchClock::now());
        const auto floorStart = BenchClock::now();
        FloorPass(floorCapture, floorFrame, floorGray);
        const double floor = SecondsBetween(floorStart, BenchClock::now());
        inStep = inStep && floorCapture.get(cv::CAP_PROP_POS_FRAMES) == g_capture.get(cv::CAP_PROP_POS_FRAMES);
        if (round >= 0) {
            if (lumoraTimes.size() <= pass) {
                lumoraTimes.resize(pass + 1);
                floorTimes.resize(pass + 1);
            }
            lumoraTimes[pass].push_back(lumora);
            floorTimes[pass].push_back(floor);
        }
        ++pass;
        if (SequenceRanOut(g_capture)) {
            // Between rounds: both back to the first frame, and a fresh result box.
            ++round;
            pass = 0;
            dialog->OnClear();
            if (round == rounds || !inStep || !Rewind(g_capture) || !Rewind(floorCapture))
                g_stopRequested = 1;
        }
        passStart = BenchClock::now();
    });
    dialog->OnStartCapture();
    CloseDialog(dialog);
    if (!inStep || round != rounds || lumoraTimes.empty()) {
        std::fprintf(stderr, "the capture run and the floor did not go through the sequence in step\n");
        return 1;
    }

    for (std::size_t i = 0; i < lumoraTimes.size(); ++i)
        std::fprintf(stderr, "capture pass %zu: Lumora %.3f ms, floor %.3f ms\n", i + 1, Median(lumoraTimes[i]) * 1e3,
                     Median(floorTimes[i]) * 1e3);
    const double passes = static_cast<double>(lumoraTimes.size());
    const double lumora = SumOfMedians(lumoraTimes) / passes;
    const double floor = SumOfMedians(floorTimes) / passes;
    const double ratio = lumora / floor;
    PrintRow(stdout, {"Capture pass, 640x480, " + std::to_string(frames.size()) + " frames in " +
                          std::to_string(lumoraTimes.size()) + " passes, median of " + std::to_string(rounds) +
                          " rounds",
                      Fixed(lumora * 1e3, 2) + " ms/pass", Fixed(floor * 1e3, 2) + " ms/pass", Fixed(ratio, 3) + " x",
                      "<= " + Fixed(kGoalRatio, 2) + " x", ratio <= kGoalRatio ? "met" : "missed"});
    // A camera of 30 frames a second is never outrun while even the slowest pass keeps up.
    double slowest = 0;
    for (const std::vector<double>& times : lumoraTimes)
        slowest = std::max(slowest, Median(times));
    PrintRow(stdout, {"Capture pass rate, 640x480, the same passes", Fixed(1 / lumora, 0) + " passes/s, slowest " +
                          Fixed(1 / slowest, 0) + " passes/s", "-", "-",
                      ">= " + Fixed(kGoalPassesPerSecond, 0) + " passes/s",
                      1 / slowest >= kGoalPassesPerSecond ? "met" : "missed"});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
