#include "capture/ShowDetection.h"

#include "app/CaptureState.h"
#include "capture/OutlineVertices.h"
#include "capture/PreviewWindowName.h"
#include "capture/PumpPendingMessages.h"
#include "output/ResultTone.h"
#include "platform/PreviewWindow.h"
#include "platform/Sleep.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

const cv::Scalar kOutlineColour(0, 200, 0, 0);  // green, in OpenCV's blue-green-red order
constexpr int kOutlineThickness = 3;
constexpr int kOutlineShift = 0;  // whole pixels
constexpr int kShortPauseMs = 50;
constexpr int kHoldMs = 1200;  // the marked frame stays on screen
constexpr int kReadsAfterHold = 3;

// The frame is read only to move the camera on; it is not scanned and may come back empty.
void SkipFrame(cv::Mat& frame)
{
    g_capture >> frame;
}

}  // namespace

void ShowDetection(cv::Mat& frame, const SymbolHit& symbol)
{
    if (const auto vertices = OutlineVertices(symbol.points)) {
        const std::vector<std::vector<cv::Point>> contours{std::vector<cv::Point>(vertices->begin(), vertices->end())};
        cv::polylines(frame, contours, true, kOutlineColour, kOutlineThickness, cv::LINE_8, kOutlineShift);
    }
    PlayResultTone();
    ShowPreview(PREVIEW_WINDOW, frame);
    Sleep(kShortPauseMs);
    SkipFrame(frame);
    Sleep(kShortPauseMs);
    SkipFrame(frame);
    PumpPendingMessages();  // paints the marked frame; a stop pressed now ends the run after this pass
    Sleep(kHoldMs);
    for (int i = 0; i < kReadsAfterHold; ++i) {
        SkipFrame(frame);
        Sleep(kShortPauseMs);
    }
}
