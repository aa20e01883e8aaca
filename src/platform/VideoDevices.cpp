#include "platform/VideoDevices.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace {

// Owns one file descriptor.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// N of a name "videoN": decimal digits only, no sign, no leading zero (so that N names
// the node back as /dev/videoN), fitting an int. nullopt for any other name.
std::optional<int> VideoNumber(std::string_view name)
{
    constexpr std::string_view prefix = "video";
    if (!name.starts_with(prefix))
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

}  // namespace

std::optional<std::string> QueryV4l2Capture(const std::filesystem::path& node)
{
    const Fd fd(open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    v4l2_capability capability{};
    int result = 0;
    do {
        result = ioctl(fd.get(), VIDIOC_QUERYCAP, &capability);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return std::nullopt;
    const __u32 caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? capability.device_caps
                                                                          : capability.capabilities;
    // Single-plane capture only: OpenCV's V4L2 backend cannot read multi-planar devices.
    if ((caps & V4L2_CAP_VIDEO_CAPTURE) == 0)
        return std::nullopt;
    const auto* card = reinterpret_cast<const char*>(capability.card);
    return std::string(card, strnlen(card, sizeof capability.card));
}

std::vector<VideoDevice> ListCaptureDevices(const std::filesystem::path& folder, const CaptureProbe& probe)
{
    std::vector<std::pair<int, std::filesystem::path>> nodes;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    const std::filesystem::directory_iterator end;
    while (!error && it != end) {
        if (const std::optional<int> number = VideoNumber(it->path().filename().native()))
            nodes.emplace_back(*number, it->path());
        it.increment(error);
    }
    std::sort(nodes.begin(), nodes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<VideoDevice> devices;
    for (const auto& [number, node] : nodes) {
        if (std::optional<std::string> name = probe(node))
            devices.push_back(VideoDevice{number, std::move(*name)});
    }
    return devices;
}
