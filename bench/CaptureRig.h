#pragma once
// A capture run driven for measurement: 640x480 frames made from pictures and written as
// an image sequence, the dialog with that sequence as its camera, and a hook at the end of
// every pass of the real capture loop.

#include "ui/LumoraDlg.h"

#include <opencv2/core/mat.hpp>
#include <opencv2/videoio.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Each picture that loads, shrunk to fit if need be, in the middle of a white 640x480 frame.
std::vector<cv::Mat> FramesFrom(const std::vector<std::filesystem::path>& pictures);
cv::Mat WhiteFrame();

// Writes the frames as folder/f000.png, f001.png, ...; returns the sequence's source text.
std::string WriteSequence(const std::filesystem::path& folder, const std::vector<cv::Mat>& frames);

// Lists source as an extra camera, builds and shows the dialog and chooses that camera.
std::unique_ptr<CLumoraDlg> DialogWithCamera(const std::string& source);

// Whether every frame of the capture has been read.
bool SequenceRanOut(const cv::VideoCapture& capture);
// Back to the first frame; false when the backend cannot seek.
bool Rewind(cv::VideoCapture& capture);

// While it lives, pauses and tones do nothing, and onPassEnd runs at the end of every pass
// of a capture run: at the pass's own pause, told apart from the six pauses of detection
// feedback by the tone that comes before them.
class PassEnds {
public:
    explicit PassEnds(std::function<void()> onPassEnd);
    ~PassEnds();
    PassEnds(const PassEnds&) = delete;
    PassEnds& operator=(const PassEnds&) = delete;

private:
    void Pause(int ms);
    std::function<void()> onPassEnd_;
    int feedbackPausesLeft_ = 0;
};

// Hides the dialog before it goes, as the end of exec() does.
void CloseDialog(std::unique_ptr<CLumoraDlg>& dialog);
