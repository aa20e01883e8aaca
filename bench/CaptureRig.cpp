#include "CaptureRig.h"

#include "app/CaptureState.h"
#include "capture/CameraSources.h"
#include "platform/Sleep.h"
#include "platform/Tone.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <QComboBox>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <variant>

namespace {
const cv::Size kFrameSize(640, 480);
constexpr int kFeedbackPauses = 6;       // 50, 50, 1200, 50, 50, 50 ms after each detection's tone
constexpr int kHoldPause = 1200;         // the third of them
constexpr int kPausesLeftAtHold = 4;
}  // namespace

cv::Mat WhiteFrame()
{
    return {kFrameSize, CV_8UC3, cv::Scalar::all(255)};
}

std::vector<cv::Mat> FramesFrom(const std::vector<std::filesystem::path>& pictures)
{
    std::vector<cv::Mat> frames;
    for (const auto& path : pictures) {
        cv::Mat picture = cv::imread(path.string(), cv::IMREAD_COLOR);
        if (picture.empty())
            continue;
        const double scale = std::min({1.0, static_cast<double>(kFrameSize.width) / picture.cols,
                                       static_cast<double>(kFrameSize.height) / picture.rows});
        if (scale < 1.0)
            cv::resize(picture, picture, cv::Size(), scale, scale, cv::INTER_AREA);
        cv::Mat frame = WhiteFrame();
        picture.copyTo(frame(cv::Rect((frame.cols - picture.cols) / 2, (frame.rows - picture.rows) / 2, picture.cols,
                                      picture.rows)));
        frames.push_back(frame);
    }
    if (frames.empty())
        throw std::runtime_error("none of the pictures loads");
    return frames;
}

std::string WriteSequence(const std::filesystem::path& folder, const std::vector<cv::Mat>& frames)
{
    const std::string pattern = (folder / "f%03d.png").string();
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (!cv::imwrite(cv::format(pattern.c_str(), static_cast<int>(i)), frames[i]))
            throw std::runtime_error("cannot write the frames into " + folder.string());
    return pattern;
}

std::unique_ptr<CLumoraDlg> DialogWithCamera(const std::string& source)
{
    setenv("LUMORA_EXTRA_CAMERAS", source.c_str(), 1);
    auto dialog = std::make_unique<CLumoraDlg>();
    dialog->show();
    for (int i = 0; i < g_cameraCount; ++i) {
        if (const auto* text = std::get_if<std::string>(&g_cameraSources[i]); text != nullptr && *text == source) {
            dialog->m_comboCamera->setCurrentIndex(i);
            if (g_cameraIndex == i)
                return dialog;
        }
    }
    throw std::runtime_error("the sequence is not in the camera list: " + source);
}

bool SequenceRanOut(const cv::VideoCapture& capture)
{
    return capture.get(cv::CAP_PROP_POS_FRAMES) >= capture.get(cv::CAP_PROP_FRAME_COUNT);
}

bool Rewind(cv::VideoCapture& capture)
{
    return capture.set(cv::CAP_PROP_POS_FRAMES, 0) && capture.get(cv::CAP_PROP_POS_FRAMES) == 0;
}

PassEnds::PassEnds(std::function<void()> onPassEnd) : onPassEnd_(std::move(onPassEnd))
{
    SetSleepOverride([this](int ms) { Pause(ms); });
    SetToneOverride([this](int, int) { feedbackPausesLeft_ = kFeedbackPauses; });
}

PassEnds::~PassEnds()
{
    SetSleepOverride({});
    SetToneOverride({});
}

void PassEnds::Pause(int ms)
{
    if (feedbackPausesLeft_ == 0) {
        onPassEnd_();
        return;
    }
    // Should the feedback's pauses ever change, the passes would be miscounted. (Not thrown:
    // the capture loop swallows every exception and would end the run quietly.)
    if ((ms == kHoldPause) != (feedbackPausesLeft_ == kPausesLeftAtHold)) {
        std::fprintf(stderr, "the detection feedback no longer pauses 50, 50, 1200, 50, 50, 50 ms\n");
        std::abort();
    }
    --feedbackPausesLeft_;
}

void CloseDialog(std::unique_ptr<CLumoraDlg>& dialog)
{
    if (dialog)
        dialog->hide();
    dialog.reset();
}
