#include "capture/CameraSources.h"

std::array<CameraSource, kMaxCameras> g_cameraSources;

namespace {
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;  // clang 14 does not deduce aggregates yet

const CameraSource& SourceAt(int index)
{
    static const CameraSource none;
    return index >= 0 && index < g_cameraCount ? g_cameraSources[index] : none;
}

}  // namespace

bool TakesFrameSize(int index)
{
    return !std::holds_alternative<std::string>(SourceAt(index));
}

void OpenCamera(cv::VideoCapture& capture, int index)
{
    const CameraSource& source = SourceAt(index);
    // The results of the opens are read back by the caller through isOpened().
    std::visit(Overloaded{
                   [&](std::monostate) { static_cast<void>(capture.open(index)); },
                   [&](const V4l2Device& device) { static_cast<void>(capture.open(device.number, cv::CAP_V4L2)); },
                   [&](const std::string& text) { static_cast<void>(capture.open(text)); },
               },
               source);
}
