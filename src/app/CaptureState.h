#pragma once
// The process-wide state through which start-up, the camera list, the capture loop and
// the dialog's handlers cooperate. All of it lives on the GUI thread: plain reads and
// writes, no locks.

#include <opencv2/videoio.hpp>

#include <QString>

#include <array>

inline constexpr int kMaxCameras = 10;

extern cv::VideoCapture g_capture;                      // the one camera; closed while idle
extern std::array<QString, kMaxCameras> g_cameraNames;  // display names, in listing order
extern int g_cameraCount;                               // filled entries of g_cameraNames
extern int g_cameraIndex;                               // list position the next run opens; -1: none
extern int g_stopRequested;                             // 1: end the run at the end of its pass
extern int g_captureRunning;                            // 1 while a capture run is in progress
extern int g_instanceMutex;                             // the instance lock's descriptor; -1: none
