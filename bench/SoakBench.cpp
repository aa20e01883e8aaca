// Memory over a long capture run: the real capture loop, pauses and tone replaced by
// nothing, over a looping sequence of 640x480 frames of which one in kLoopFrames holds a
// symbol, rewound whenever it runs out. Prints the resident size after 100 and after
// 10,000 passes and the growth between them.
// Usage: lumora_bench_soak [FOLDER] [--passes N]   (one Markdown table row on stdout)

#include "BenchKit.h"
#include "CaptureRig.h"

#include "app/CaptureState.h"
#include "decode/AcceptLists.h"
#include "TempDir.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <QApplication>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

constexpr int kDefaultPasses = 10000;
constexpr int kBaselinePasses = 100;
constexpr int kLoopFrames = 50;
constexpr int kSymbolFrame = 20;  // far from the end: the feedback's skipped reads stay inside the loop
constexpr int kProgressEvery = 1000;
constexpr double kGoalMiB = 2.0;
constexpr double kMiB = 1024.0 * 1024.0;

// The first frame made from the folder that holds a symbol the capture path reports; from
// the test pictures when the folder has none.
cv::Mat SymbolFrame(const std::filesystem::path& folder)
{
    for (const cv::Mat& frame : FramesFrom(DroppablePictures(folder))) {
        cv::Mat gray;
        cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
        const auto types = BareScan(gray).types;
        if (std::any_of(types.begin(), types.end(), [](const std::string& type) { return IsAccepted(type, CAMERA_TYPES); }))
            return frame;
    }
    const auto testPictures = std::filesystem::path(LUMORA_SOURCE_DIR) / "tests" / "data" / "pictures";
    if (folder != testPictures)
        return SymbolFrame(testPictures);
    throw std::runtime_error("no test picture holds a symbol of the camera types");
}

// The whole measurement; main reports what it throws.
int Run(int argc, char** argv)
{
    PrepareLikeTheProgram();
    QApplication app(argc, argv);

    const int passes = std::max(IntOption(argc, argv, "passes", kDefaultPasses), kBaselinePasses + 1);
    const TempDir folder;
    std::vector<cv::Mat> loop(kLoopFrames, WhiteFrame());
    loop[kSymbolFrame] = SymbolFrame(PictureFolder(argc, argv));
    const std::string sequence = WriteSequence(folder.path(), loop);

    std::unique_ptr<CLumoraDlg> dialog = DialogWithCamera(sequence);
    int passCount = 0;
    std::size_t baseline = 0;
    std::size_t last = 0;
    bool rewound = true;
    const PassEnds passEnds([&] {
        ++passCount;
        if (passCount == kBaselinePasses)
            baseline = ResidentBytes();
        if (passCount % kProgressEvery == 0)
            std::fprintf(stderr, "soak: %d passes, %.2f MiB resident, %d result lines\n", passCount,
                         static_cast<double>(ResidentBytes()) / kMiB, dialog->m_editResult->blockCount() - 1);
        if (passCount == passes) {
            last = ResidentBytes();
            g_stopRequested = 1;
            return;
        }
        if (SequenceRanOut(g_capture)) {
            rewound = Rewind(g_capture);
            if (!rewound)
                g_stopRequested = 1;
        }
    });
    dialog->OnStartCapture();
    const int lines = dialog->m_editResult->blockCount() - 1;  // the box ends with an empty line
    CloseDialog(dialog);
    if (!rewound || passCount != passes) {
        std::fprintf(stderr, "the capture run ended after %d passes\n", passCount);
        return 1;
    }

    const double growth = (static_cast<double>(last) - static_cast<double>(baseline)) / kMiB;
    PrintRow(stdout, {"Resident size, " + std::to_string(passes) + " capture passes (" + std::to_string(lines) +
                          " result lines)",
                      Fixed(static_cast<double>(baseline) / kMiB, 1) + " MiB after " + std::to_string(kBaselinePasses) +
                          ", " + Fixed(static_cast<double>(last) / kMiB, 1) + " MiB after " + std::to_string(passes),
                      "-", "-", "growth < " + Fixed(kGoalMiB, 0) + " MiB",
                      (growth < kGoalMiB ? "met, " : "missed, ") + Fixed(growth, 2) + " MiB"});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
