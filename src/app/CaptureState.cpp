#include "app/CaptureState.h"

// Defined in one place so that the camera is constructed before the name table and
// destroyed after it.
cv::VideoCapture g_capture;
std::array<QString, kMaxCameras> g_cameraNames;
int g_cameraCount = 0;
int g_cameraIndex = 0;
int g_stopRequested = 0;
int g_captureRunning = 0;
int g_instanceMutex = -1;
