// The drop path against its floor: all accepted files of a folder handed to the dialog's
// DecodeDroppedFiles as one drop (clipboard box ticked, tone replaced by nothing, echo lines
// into /dev/null), read by its workers, one per core; against the floor, one core reading the
// same files one after another: loading each in grayscale (cv::imread; a GIF, which OpenCV
// cannot read, by Qt) plus the two engines' bare reads, ZBar's scan and zxing-cpp's read.
// The two take turns, round after round, so that both meet the same load on a shared
// machine; each figure is the median of its rounds.
// Usage: lumora_bench_drop [FOLDER] [--rounds N] [--no-goal]   (one Markdown table row on stdout)
// --no-goal: the row only tells the cost, as for pictures chosen for their further looks.

#include "BenchKit.h"

#include "platform/Controls.h"
#include "platform/GrayPicture.h"
#include "platform/Tone.h"
#include "ui/LumoraDlg.h"

#include <opencv2/imgcodecs.hpp>

#include <QApplication>
#include <QCheckBox>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace {

constexpr int kDefaultRounds = 21;
constexpr double kGoalRatio = 0.65;  // two cores: faster than one reading alone

double Timed(const std::function<void()>& work)
{
    const auto start = BenchClock::now();
    work();
    return SecondsBetween(start, BenchClock::now());
}

// The floor's load: OpenCV's, or Qt's for a GIF, which Debian's OpenCV cannot read.
cv::Mat FloorLoad(const std::filesystem::path& file)
{
    if (file.extension() != ".gif")
        return cv::imread(file.string(), cv::IMREAD_GRAYSCALE);
    QImage picture(QString::fromStdString(file.string()));
    return GrayPictureFromImage(picture);
}

std::string Rate(double filesPerSecond)
{
    return Fixed(filesPerSecond, filesPerSecond < 10 ? 2 : 0) + " files/s";  // big pictures take seconds
}

// The whole measurement; main reports what it throws.
int Run(int argc, char** argv)
{
    PrepareLikeTheProgram();
    QApplication app(argc, argv);

    const auto files = DroppablePictures(PictureFolder(argc, argv));
    const int rounds = IntOption(argc, argv, "rounds", kDefaultRounds);

    CLumoraDlg dialog;
    dialog.show();
    SetChecked(dialog.m_chkClipboard, true);
    SetToneOverride([](int, int) {});
    const NullStdout null;

    QStringList drop;
    for (const auto& file : files)
        drop << QString::fromStdString(file.string());
    std::size_t floorBytes = 0;  // keeps the floor's reads of the data observable
    std::vector<double> lumoraTimes;
    std::vector<double> floorTimes;
    // Round 0 warms up. Every round appends to an emptied box, repainted after the round
    // as after a real drop.
    for (int round = 0; round <= rounds; ++round) {
        const auto lumora = [&] { dialog.DecodeDroppedFiles(drop); };
        const auto floor = [&] {
            for (const auto& file : files) {
                const cv::Mat gray = FloorLoad(file);
                floorBytes += BareScan(gray).dataBytes + BareZxingRead(gray, BenchPath::Drop);
            }
        };
        // Which goes first alternates, so that neither always finds the other's caches.
        const bool lumoraFirst = round % 2 == 0;
        const double first = Timed(lumoraFirst ? std::function<void()>(lumora) : floor);
        const double second = Timed(lumoraFirst ? std::function<void()>(floor) : lumora);
        dialog.OnClear();
        QApplication::processEvents();
        if (round == 0)
            continue;
        lumoraTimes.push_back(lumoraFirst ? first : second);
        floorTimes.push_back(lumoraFirst ? second : first);
    }
    SetToneOverride({});

    const double lumora = Median(lumoraTimes);
    const double floor = Median(floorTimes);
    const double count = static_cast<double>(files.size());
    const double ratio = lumora / floor;
    std::fprintf(stderr, "drop: Lumora %.3f ms/file, floor %.3f ms/file (%zu bytes of symbol data read)\n",
                 lumora / count * 1e3, floor / count * 1e3, floorBytes);
    const bool goal = std::find(argv, argv + argc, std::string_view("--no-goal")) == argv + argc;
    PrintRow(null.Table(), {"Drop path, one drop of " + std::to_string(files.size()) + " files of " +
                                PictureFolder(argc, argv).filename().string() + ", median of " +
                                std::to_string(rounds) + " rounds",
                            Rate(count / lumora), Rate(count / floor), Fixed(ratio, 3) + " x",
                            goal ? "<= " + Fixed(kGoalRatio, 2) + " x" : "-",
                            !goal ? "-" : ratio <= kGoalRatio ? "met" : "missed"});
    dialog.hide();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
