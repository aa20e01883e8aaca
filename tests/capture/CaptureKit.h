#pragma once
// Cameras made of image sequences, and a stand-in for the clock and the speaker that
// records a capture run and lets a test act at chosen moments of it.

#include "decode/SymbolHit.h"
#include "support/TempDir.h"
#include "ui/LumoraDlg.h"

#include <opencv2/core/mat.hpp>

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A white 720x480 frame, with the named test picture at (20, 20) when one is given.
cv::Mat Frame(const char* picture = nullptr);
// The symbols the decoder finds in a frame, as the capture loop would see them.
std::vector<SymbolHit> SymbolsIn(const cv::Mat& frame);
bool IsOutlineGreenAt(const cv::Mat& picture, std::pair<int, int> point);

// Pauses return at once. Every pause and tone is recorded, with the preview's picture
// right after each detection's show and at the end of each pass (empty: no window).
class RunRecorder {
public:
    RunRecorder();
    ~RunRecorder();
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;
    void Clear();  // forgets the previous run

    std::vector<int> pauses;
    std::vector<std::pair<int, int>> tones;  // (hz, ms)
    std::vector<cv::Mat> shownAtDetection;
    std::vector<cv::Mat> shownAtPassEnd;
    int stopAfterPasses = 1;  // raises the stop flag at the end of that pass of a run; 0: never
    std::function<void(int ms)> onPause;  // after the pause has been recorded
    std::function<void()> onTone;

private:
    void Pause(int ms);
    int feedbackPausesLeft_ = 0;
};

class CaptureTest : public ::testing::Test {
protected:
    CaptureTest();
    ~CaptureTest() override;

    // Lists the sources as extra cameras and builds the dialog, which reads them.
    void OpenDialog(const std::vector<std::string>& sources);
    // Writes the frames as an image sequence in the test's folder; returns its source text.
    std::string Sequence(const std::string& name, const std::vector<cv::Mat>& frames);
    // A video file that opens but holds no frame.
    std::string SourceWithoutFrames();
    int PositionOf(const std::string& source) const;
    // Chooses the source in the list and presses start; the recorder starts afresh.
    void Start(const std::string& source);
    QPushButton* Button(int id) const { return static_cast<QPushButton*>(dialog->Control(id)); }
    QStringList Lines() const;

    TempDir folder;
    RunRecorder run;
    std::unique_ptr<CLumoraDlg> dialog;

private:
    std::filesystem::path startFolder_;
};
