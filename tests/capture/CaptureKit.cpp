#include "CaptureKit.h"

#include "app/CaptureState.h"
#include "capture/CameraSources.h"
#include "capture/PreviewWindowName.h"
#include "decode/ScanGrayImage.h"
#include "platform/PreviewWindow.h"
#include "platform/Sleep.h"
#include "platform/Tone.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <QComboBox>
#include <QPlainTextEdit>

#include <cstdlib>

namespace {
constexpr int kFeedbackPauses = 6;
constexpr std::size_t kRunawayPasses = 100;  // a run that should have ended fails fast instead
}  // namespace

cv::Mat Frame(const char* picture)
{
    cv::Mat frame(480, 720, CV_8UC3, cv::Scalar::all(255));
    if (picture != nullptr) {
        const cv::Mat symbol = cv::imread(std::string(LUMORA_TEST_DATA "/pictures/") + picture, cv::IMREAD_COLOR);
        symbol.copyTo(frame(cv::Rect(20, 20, symbol.cols, symbol.rows)));
    }
    return frame;
}

std::vector<SymbolHit> SymbolsIn(const cv::Mat& frame)
{
    cv::Mat gray;
    cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
    std::vector<SymbolHit> symbols;
    ScanGrayImage(gray.cols, gray.rows, gray.data, [&](const SymbolHit& hit) { symbols.push_back(hit); });
    return symbols;
}

bool IsOutlineGreenAt(const cv::Mat& picture, std::pair<int, int> point)
{
    return picture.at<cv::Vec3b>(point.second, point.first) == cv::Vec3b(0, 200, 0);
}

RunRecorder::RunRecorder()
{
    SetSleepOverride([this](int ms) { Pause(ms); });
    SetToneOverride([this](int hz, int ms) {
        tones.emplace_back(hz, ms);
        feedbackPausesLeft_ = kFeedbackPauses;
        if (onTone)
            onTone();
    });
}

RunRecorder::~RunRecorder()
{
    SetSleepOverride({});
    SetToneOverride({});
}

void RunRecorder::Clear()
{
    pauses.clear();
    tones.clear();
    shownAtDetection.clear();
    shownAtPassEnd.clear();
}

void RunRecorder::Pause(int ms)
{
    pauses.push_back(ms);
    if (feedbackPausesLeft_ == kFeedbackPauses)
        shownAtDetection.push_back(PreviewPicture(PREVIEW_WINDOW));
    if (feedbackPausesLeft_ > 0) {
        --feedbackPausesLeft_;
    } else {
        shownAtPassEnd.push_back(IsPreviewOpen(PREVIEW_WINDOW) ? PreviewPicture(PREVIEW_WINDOW) : cv::Mat());
        if (static_cast<int>(shownAtPassEnd.size()) == stopAfterPasses)
            g_stopRequested = 1;
        if (shownAtPassEnd.size() == kRunawayPasses) {
            ADD_FAILURE() << "the run did not end";
            g_stopRequested = 1;
        }
    }
    if (onPause)
        onPause(ms);
}

CaptureTest::CaptureTest() : startFolder_(std::filesystem::current_path())
{
    // The placeholder pictures are looked for in the working directory.
    std::filesystem::current_path(folder.path());
}

CaptureTest::~CaptureTest()
{
    // Hidden first, as at the end of exec(): a dialog destroyed while shown hides its camera
    // list on the way, whose popup-closed handler then runs on a half-destroyed dialog.
    if (dialog)
        dialog->hide();
    dialog.reset();
    std::filesystem::current_path(startFolder_);
}

void CaptureTest::OpenDialog(const std::vector<std::string>& sources)
{
    std::string lines;
    for (const std::string& source : sources)
        lines += source + "\n";
    setenv("LUMORA_EXTRA_CAMERAS", lines.c_str(), 1);
    g_cameraCount = 0;  // a fresh table, also when several tests share one process
    dialog = std::make_unique<CLumoraDlg>();
    dialog->show();
}

std::string CaptureTest::Sequence(const std::string& name, const std::vector<cv::Mat>& frames)
{
    EXPECT_TRUE(std::filesystem::create_directory(folder / name));
    const std::string pattern = (folder / name / "f%03d.png").string();
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_TRUE(cv::imwrite(cv::format(pattern.c_str(), static_cast<int>(i)), frames[i]));
    return pattern;
}

std::string CaptureTest::SourceWithoutFrames()
{
    const std::string file = (folder / "no-frames.avi").string();
    const cv::VideoWriter writer(file, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10, cv::Size(720, 480));
    return file;  // the writer closes an empty but valid video here
}

int CaptureTest::PositionOf(const std::string& source) const
{
    for (int i = 0; i < g_cameraCount; ++i)
        if (const auto* text = std::get_if<std::string>(&g_cameraSources[i]); text != nullptr && *text == source)
            return i;
    ADD_FAILURE() << "not in the camera list: " << source;
    return -1;
}

void CaptureTest::Start(const std::string& source)
{
    dialog->m_comboCamera->setCurrentIndex(PositionOf(source));
    run.Clear();
    Button(IDC_START_CAPTURE)->click();
}

QStringList CaptureTest::Lines() const
{
    return dialog->m_editResult->toPlainText().split('\n', Qt::SkipEmptyParts);
}
