#include "capture/CaptureLoop.h"

#include "app/CaptureState.h"
#include "capture/CameraSources.h"
#include "capture/PreviewWindowName.h"
#include "capture/PumpPendingMessages.h"
#include "capture/ShowDetection.h"
#include "decode/AcceptLists.h"
#include "decode/ReadSymbols.h"
#include "platform/Controls.h"
#include "platform/PreviewWindow.h"
#include "platform/Sleep.h"
#include "ui/LumoraDlg.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <QRadioButton>

#include <cstdint>
#include <string>

namespace {

struct FrameSize {
    double width;
    double height;
};
constexpr FrameSize kLargeFrame{640.0, 480.0};
constexpr FrameSize kSmallFrame{320.0, 240.0};
// Shown while the camera delivers no frames; read from the working directory.
constexpr const char* kPlaceholder = "junbichu.png";
constexpr const char* kSmallPlaceholder = "junbichu_s.png";
constexpr int kPassPauseMs = 50;

// A frame in which nothing is found gets one further look, each kind in turn: a code held in
// view stays there for many frames, and every look at every frame would cost frame rate. No
// enlarged look: it costs four frames' worth, and a camera's user brings a small code closer.
constexpr FurtherLook kCameraFurtherLooks[] = {FurtherLook::Negative, FurtherLook::Smoothed};

std::span<const FurtherLook> FurtherLookOfPass(std::size_t pass)
{
    return std::span(kCameraFurtherLooks).subspan(pass % std::size(kCameraFurtherLooks), 1);
}

// Goes by the capture as it is at the press, not by the size chosen for the new run. A
// closed capture answers 0, and every press that starts a run finds the capture closed.
std::string PlaceholderName()
{
    return g_capture.get(cv::CAP_PROP_FRAME_WIDTH) == kSmallFrame.width ? kSmallPlaceholder : kPlaceholder;
}

void AskFrameSize(FrameSize size)
{
    // A camera that refuses the size runs at its own; the run goes on either way.
    static_cast<void>(g_capture.set(cv::CAP_PROP_FRAME_WIDTH, size.width));
    static_cast<void>(g_capture.set(cv::CAP_PROP_FRAME_HEIGHT, size.height));
}

bool HoldsPicture(const cv::Mat& picture)
{
    return picture.data != nullptr && picture.total() > 0;
}

// The pass works on BGR, where the outline is green, whatever a source delivers: gray and
// BGRA frames (GStreamer pipelines), YUYV (two channels, as V4L2 gives it unconverted) or
// BGR. An empty frame, or one of any other layout, counts as none.
cv::Mat AsBgr(const cv::Mat& frame)
{
    cv::Mat bgr;
    if (!HoldsPicture(frame))
        return bgr;
    switch (frame.channels()) {
    case 1: cv::cvtColor(frame, bgr, cv::COLOR_GRAY2BGR); break;
    case 2: cv::cvtColor(frame, bgr, cv::COLOR_YUV2BGR_YUY2); break;
    case 3: bgr = frame; break;
    case 4: cv::cvtColor(frame, bgr, cv::COLOR_BGRA2BGR); break;
    default: break;
    }
    return bgr;
}

// Output and feedback for one accepted symbol of the scanned frame.
void ReportSymbol(CLumoraDlg& dialog, cv::Mat& frame, const SymbolHit& symbol)
{
    dialog.ReportResult(symbol);
    ShowDetection(frame, symbol);
}

void RunPass(CLumoraDlg& dialog, const std::string& placeholder, std::size_t pass)
{
    cv::Mat raw;
    // A failed read leaves the frame empty, which is what the next step looks at.
    static_cast<void>(g_capture.read(raw));
    cv::Mat frame = AsBgr(raw);
    if (HoldsPicture(frame)) {
        cv::Mat gray;
        cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY, 0);
        for (const SymbolHit& symbol : ReadSymbols(static_cast<std::uint32_t>(gray.cols),
                                                   static_cast<std::uint32_t>(gray.rows), gray.data, CAMERA_TYPES,
                                                   FurtherLookOfPass(pass)))
            ReportSymbol(dialog, frame, symbol);
        ShowPreview(PREVIEW_WINDOW, frame);  // after a detection: the last frame the feedback read
    } else {
        const cv::Mat picture = cv::imread(placeholder, cv::IMREAD_UNCHANGED);
        if (HoldsPicture(picture))
            ShowPreview(PREVIEW_WINDOW, picture);
    }
    PumpPendingMessages();
    Sleep(kPassPauseMs);
}

void CloseCameraAndPreview()
{
    if (g_capture.isOpened())
        g_capture.release();
    DestroyAllPreviews();
}

}  // namespace

void RunCaptureLoop(CLumoraDlg& dialog)
{
    const std::string placeholder = PlaceholderName();
    if (g_captureRunning != 0)
        return;
    try {
        if (g_capture.isOpened())
            g_capture.release();
        OpenCamera(g_capture, g_cameraIndex);
        if (TakesFrameSize(g_cameraIndex))
            AskFrameSize(IsChecked(dialog.m_btnLarge) ? kLargeFrame : kSmallFrame);
        if (!g_capture.isOpened())
            return;
        g_captureRunning = 1;
        std::size_t pass = 0;  // wraps after 2^64 passes, harmlessly
        do {
            RunPass(dialog, placeholder, pass++);
        } while (g_stopRequested != 1);
        CloseCameraAndPreview();
    } catch (...) {
        // Whatever failed, the camera and its window must not outlive the run. Closing
        // runs destructors only; should it throw all the same, it must not leave the handler.
        try {
            CloseCameraAndPreview();
        } catch (...) {
        }
    }
    g_captureRunning = 0;
    g_stopRequested = 0;
}

void CLumoraDlg::OnStartCapture()
{
    RunCaptureLoop(*this);
}

void CLumoraDlg::OnStopCapture()
{
    g_stopRequested = 1;
}
