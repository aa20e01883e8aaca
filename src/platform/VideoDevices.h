#pragma once
// The machine's video capture devices, as V4L2 lists them.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct VideoDevice {
    int number = 0;    // N of /dev/videoN: the index OpenCV's V4L2 backend opens
    std::string name;  // the driver's card name, shown to the user
};

// Returns the card name when the node is a video capture device, nullopt otherwise
// (metadata nodes, output-only devices, anything that is not a V4L2 device).
using CaptureProbe = std::function<std::optional<std::string>(const std::filesystem::path& node)>;

// Asks the node with VIDIOC_QUERYCAP whether it captures video.
std::optional<std::string> QueryV4l2Capture(const std::filesystem::path& node);

// The capture devices among the folder's videoN entries, in ascending N. A missing or
// unreadable folder gives an empty list.
// N: decimal digits only, fitting an int, without a leading zero (video0 is fine, video05
// is skipped, since OpenCV would open /dev/video5 for it). The probe is asked in ascending
// N. No cap on the count: limiting the list is the caller's business.
std::vector<VideoDevice> ListCaptureDevices(const std::filesystem::path& folder,
                                            const CaptureProbe& probe = QueryV4l2Capture);
