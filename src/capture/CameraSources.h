#pragma once
// What stands behind each position of the camera list. The shared name table only holds
// what the user sees; this table, kept in the same order, holds what a run opens.

#include "app/CaptureState.h"

#include <opencv2/videoio.hpp>

#include <array>
#include <string>
#include <variant>

struct V4l2Device {
    int number = 0;  // N of /dev/videoN
};

// A V4L2 device, or a source text that OpenCV opens as a file, sequence, pipeline or
// stream; nothing for positions beyond g_cameraCount.
using CameraSource = std::variant<std::monostate, V4l2Device, std::string>;

extern std::array<CameraSource, kMaxCameras> g_cameraSources;

// Whether a run asks the camera behind list position index for a frame size. Devices are
// asked; a source text runs at the size it delivers: files and sequences ignore the request,
// and OpenCV's GStreamer backend stops and restarts a pipeline over it, which a pipeline
// reading a stream (a network camera, standard input) does not survive.
bool TakesFrameSize(int index);

// Opens the source behind list position index into capture. An index without a source
// (-1 included) goes to OpenCV as a device index, unchanged. Whether it opened is left
// to capture.isOpened().
void OpenCamera(cv::VideoCapture& capture, int index);
