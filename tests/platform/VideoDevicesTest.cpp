#include "platform/VideoDevices.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

void WriteFile(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file) << text;
}

// A stand-in for VIDIOC_QUERYCAP: the file's text "capture:Name" is a capture device
// called Name; anything else is not one.
std::optional<std::string> TextProbe(const std::filesystem::path& node)
{
    std::ifstream in(node);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string prefix = "capture:";
    if (text.rfind(prefix, 0) != 0)
        return std::nullopt;
    return text.substr(prefix.size());
}

std::vector<std::pair<int, std::string>> Flatten(const std::vector<VideoDevice>& devices)
{
    std::vector<std::pair<int, std::string>> flat;
    for (const VideoDevice& device : devices)
        flat.emplace_back(device.number, device.name);
    return flat;
}

}  // namespace

TEST(VideoDevices, ListsCaptureNodesInNumericOrder)
{
    const TempDir dev;
    WriteFile(dev / "video0", "capture:Integrated Camera");
    WriteFile(dev / "video1", "meta");
    WriteFile(dev / "video2", "capture:USB Camera");
    WriteFile(dev / "video10", "capture:Capture Card");
    WriteFile(dev / "video3x", "capture:not a node");
    WriteFile(dev / "videoX", "capture:not a node");
    WriteFile(dev / "vbi0", "capture:not a node");
    WriteFile(dev / "video-1", "capture:not a node");
    WriteFile(dev / "video+4", "capture:not a node");
    WriteFile(dev / "video", "capture:not a node");
    WriteFile(dev / "video05", "capture:not a node");  // N must name the node back
    WriteFile(dev / "video99999999999", "capture:does not fit an int");
    WriteFile(dev / "xvideo7", "capture:not a node");
    std::filesystem::create_directory(dev / "v4l");

    std::vector<std::string> probed;
    const auto probe = [&](const std::filesystem::path& node) {
        probed.push_back(node.filename().string());
        return TextProbe(node);
    };
    const std::vector<VideoDevice> devices = ListCaptureDevices(dev.path(), probe);

    const std::vector<std::pair<int, std::string>> expected = {
        {0, "Integrated Camera"}, {2, "USB Camera"}, {10, "Capture Card"}};
    EXPECT_EQ(Flatten(devices), expected);
    EXPECT_EQ(probed, (std::vector<std::string>{"video0", "video1", "video2", "video10"}));
}

TEST(VideoDevices, ListsMoreThanTenCaptureNodes)
{
    const TempDir dev;
    for (int n = 0; n < 14; ++n)
        WriteFile(dev / ("video" + std::to_string(n)), "capture:Camera " + std::to_string(n));
    const std::vector<VideoDevice> devices = ListCaptureDevices(dev.path(), TextProbe);
    ASSERT_EQ(devices.size(), 14u);
    for (int n = 0; n < 14; ++n) {
        EXPECT_EQ(devices[n].number, n);
        EXPECT_EQ(devices[n].name, "Camera " + std::to_string(n));
    }
}

TEST(VideoDevices, MissingFolderGivesAnEmptyList)
{
    const TempDir dev;
    int calls = 0;
    const auto probe = [&](const std::filesystem::path&) -> std::optional<std::string> {
        ++calls;
        return "x";
    };
    EXPECT_TRUE(ListCaptureDevices(dev / "no-such-folder", probe).empty());
    WriteFile(dev / "plain-file", "");
    EXPECT_TRUE(ListCaptureDevices(dev / "plain-file", probe).empty());
    EXPECT_EQ(calls, 0);
}

TEST(VideoDevices, RealQueryRejectsWhatIsNotAV4l2Device)
{
    const TempDir dev;
    WriteFile(dev / "video0", "capture:Fake");
    EXPECT_EQ(QueryV4l2Capture(dev / "video0"), std::nullopt);
    EXPECT_EQ(QueryV4l2Capture(dev / "missing"), std::nullopt);
    EXPECT_EQ(QueryV4l2Capture("/dev/null"), std::nullopt);
    EXPECT_TRUE(ListCaptureDevices(dev.path()).empty());  // the default probe is the real one
}
