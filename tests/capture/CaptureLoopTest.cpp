#include "CaptureKit.h"

#include "app/CaptureState.h"
#include "capture/PreviewWindowName.h"
#include "platform/PreviewWindow.h"
#include "platform/Sleep.h"
#include "platform/Tone.h"

#include <opencv2/imgcodecs.hpp>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

bool SamePicture(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

void ExpectRunEnded()
{
    EXPECT_EQ(g_captureRunning, 0);
    EXPECT_EQ(g_stopRequested, 0);
    EXPECT_FALSE(g_capture.isOpened());
    EXPECT_FALSE(IsPreviewOpen(PREVIEW_WINDOW));
}

}  // namespace

using CaptureRun = CaptureTest;

TEST_F(CaptureRun, AnAcceptedSymbolIsReportedOutlinedAndBeepedAnOtherTypeLeavesNoTrace)
{
    const cv::Mat upca = Frame("upca.png");
    const cv::Mat qr = Frame("qr.png");
    ASSERT_EQ(SymbolsIn(upca).at(0).typeName, "UPC-A");
    const std::string camera = Sequence("seq", {upca, qr});
    OpenDialog({camera});
    QGuiApplication::clipboard()->setText("before");
    run.stopAfterPasses = 2;
    std::size_t handledAfterPauses = 0;
    run.onTone = [&] {
        QMetaObject::invokeMethod(dialog.get(), [&] { handledAfterPauses = run.pauses.size(); }, Qt::QueuedConnection);
    };
    Start(camera);

    EXPECT_TRUE(SamePicture(run.shownAtPassEnd.at(0), upca));  // shown as it came, not outlined
    EXPECT_EQ(Lines(), QStringList({"Hello, Lumora"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Hello, Lumora");
    EXPECT_EQ(run.tones, (std::vector<std::pair<int, int>>{{440, 200}}));
    EXPECT_EQ(run.pauses, (std::vector<int>{50, 50, 50, 1200, 50, 50, 50, 50}));
    EXPECT_EQ(handledAfterPauses, 3U);  // waiting input is handled once, just before the hold
    const std::vector<SymbolHit> symbols = SymbolsIn(qr);
    ASSERT_EQ(symbols.at(0).points.size(), 4U);
    for (const auto& corner : symbols[0].points)
        EXPECT_TRUE(IsOutlineGreenAt(run.shownAtDetection.at(0), corner));
    ExpectRunEnded();
}

TEST_F(CaptureRun, TheFiveFramesReadDuringFeedbackAreNeverScanned)
{
    std::vector<cv::Mat> frames(6, Frame("qr.png"));
    frames.push_back(Frame("code128.png"));
    const std::string camera = Sequence("seq", frames);
    OpenDialog({camera});
    run.stopAfterPasses = 3;
    Start(camera);
    // Frame 0 is reported, 1 to 5 are skipped, frame 6 is the next one scanned.
    EXPECT_EQ(Lines(), QStringList({"Hello, Lumora", "Lumora-128"}));
}

TEST_F(CaptureRun, StopDuringTheHoldLetsThePassFinishItsSymbols)
{
    const cv::Mat twoCodes = Frame("two-qr.png");
    std::vector<cv::Mat> frames(6, Frame());
    frames[0] = twoCodes;
    const std::string camera = Sequence("two", frames);
    OpenDialog({camera});
    run.stopAfterPasses = 0;
    run.onPause = [this](int ms) {
        if (ms == 1200 && run.tones.size() == 1)
            Button(IDC_STOP_CAPTURE)->click();  // the flag is up while a symbol is still to come
    };
    Start(camera);

    const std::vector<SymbolHit> symbols = SymbolsIn(twoCodes);
    ASSERT_EQ(symbols.size(), 2U);
    EXPECT_EQ(Lines(), QStringList({QString::fromStdString(symbols[0].data), QString::fromStdString(symbols[1].data)}));
    EXPECT_EQ(run.shownAtPassEnd.size(), 1U);
    // The second outline is drawn on the blank frame the first feedback read last.
    const cv::Mat& second = run.shownAtDetection.at(1);
    for (const auto& corner : symbols[1].points)
        EXPECT_TRUE(IsOutlineGreenAt(second, corner));
    EXPECT_EQ(second.at<cv::Vec3b>(symbols[0].points[0].second, symbols[0].points[0].first), cv::Vec3b(255, 255, 255));
    ExpectRunEnded();
}

TEST_F(CaptureRun, WithoutFramesThePlaceholderIsShownAsTheFolderHoldsItNow)
{
    const std::string camera = SourceWithoutFrames();
    OpenDialog({camera});
    run.stopAfterPasses = 2;
    Start(camera);
    ASSERT_EQ(run.shownAtPassEnd.size(), 2U);
    EXPECT_TRUE(run.shownAtPassEnd[0].empty() && run.shownAtPassEnd[1].empty());  // nor a placeholder: no window

    const cv::Mat red(480, 640, CV_8UC3, cv::Scalar(0, 0, 255));
    const cv::Mat blue(480, 640, CV_8UC3, cv::Scalar(255, 0, 0));
    ASSERT_TRUE(cv::imwrite("junbichu.png", red));
    run.onPause = [&](int) { EXPECT_TRUE(cv::imwrite("junbichu.png", blue)); };
    Start(camera);
    ASSERT_EQ(run.shownAtPassEnd.size(), 2U);
    EXPECT_TRUE(SamePicture(run.shownAtPassEnd[0], red));
    EXPECT_TRUE(SamePicture(run.shownAtPassEnd[1], blue));
    ExpectRunEnded();
}

TEST_F(CaptureRun, StopWhileIdleLeavesTheNextRunOnePassAndAStartDuringARunChangesNothing)
{
    const std::string camera = Sequence("seq", {Frame(), Frame("qr.png")});
    OpenDialog({camera});
    run.stopAfterPasses = 0;
    Button(IDC_STOP_CAPTURE)->click();
    Start(camera);
    EXPECT_EQ(run.pauses, std::vector<int>{50});
    ExpectRunEnded();

    run.stopAfterPasses = 2;
    run.onPause = [this](int) {
        if (run.pauses.size() != 1)
            return;
        Button(IDC_START_CAPTURE)->click();
        EXPECT_EQ(g_captureRunning, 1);
        EXPECT_TRUE(IsPreviewOpen(PREVIEW_WINDOW));
    };
    Start(camera);
    // The camera was not reopened: the second pass read frame 1, the code.
    EXPECT_EQ(Lines(), QStringList({"Hello, Lumora"}));
    EXPECT_EQ(run.shownAtPassEnd.size(), 2U);
    ExpectRunEnded();
}

TEST_F(CaptureRun, AFailureInsideAPassClosesEverythingAndTheNextStartWorks)
{
    // OpenCV's GStreamer backend hands GRAY8 frames over as they are: one channel, which
    // the gray conversion rejects.
    const std::string gray = "videotestsrc num-buffers=5 ! video/x-raw,format=GRAY8 ! appsink";
    const std::string camera = Sequence("seq", {Frame(), Frame("qr.png")});
    OpenDialog({gray, camera});
    Button(IDC_STOP_CAPTURE)->click();
    Start(gray);
    // The run began (a camera that does not open leaves the stop flag at 1) and its first
    // pass failed before its pause.
    EXPECT_TRUE(run.pauses.empty());
    ExpectRunEnded();

    run.stopAfterPasses = 0;
    run.onTone = [] { throw std::runtime_error("no sound"); };
    Start(camera);
    EXPECT_EQ(run.shownAtPassEnd.size(), 1U);  // the window was open when it failed
    EXPECT_EQ(Lines(), QStringList({"Hello, Lumora"}));
    ExpectRunEnded();

    run.onTone = nullptr;
    run.stopAfterPasses = 3;
    Start(camera);
    EXPECT_EQ(Lines(), QStringList({"Hello, Lumora", "Hello, Lumora"}));
    ExpectRunEnded();
}

TEST_F(CaptureRun, EscDuringARunEndsItAtTheEndOfThePass)
{
    const std::string camera = Sequence("blank", std::vector<cv::Mat>(5, Frame()));
    OpenDialog({camera});
    run.stopAfterPasses = 0;
    run.onPause = [this](int) {
        if (run.pauses.size() == 1)
            QCoreApplication::postEvent(dialog.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    Start(camera);
    EXPECT_EQ(run.shownAtPassEnd.size(), 2U);  // the key waited for the second pass's drain
    EXPECT_FALSE(dialog->isVisible());
    ExpectRunEnded();
}

TEST_F(CaptureRun, ACodeHeldInViewIsReportedAtLeast1700MsApart)
{
    const std::string camera = Sequence("held", std::vector<cv::Mat>(14, Frame("qr.png")));
    OpenDialog({camera});
    SetSleepOverride({});  // the real pauses
    std::vector<std::chrono::steady_clock::time_point> beeps;
    SetToneOverride([&](int, int ms) {
        beeps.push_back(std::chrono::steady_clock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));  // a speaker takes as long
        if (beeps.size() == 2)
            g_stopRequested = 1;
    });
    Start(camera);
    ASSERT_EQ(beeps.size(), 2U);
    EXPECT_GE(beeps[1] - beeps[0], std::chrono::milliseconds(1700));
    ExpectRunEnded();
}
