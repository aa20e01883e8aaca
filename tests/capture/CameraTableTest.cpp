// The camera table: what the list shows and what each position opens.

#include "capture/CameraSources.h"
#include "capture/EnumerateVideoInputs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace {

// Stands in for VIDIOC_QUERYCAP: a node whose text is "capture:Name" captures video.
std::optional<std::string> TextProbe(const std::filesystem::path& node)
{
    std::string text;
    std::getline(std::ifstream(node), text);
    return text.starts_with("capture:") ? std::optional(text.substr(8)) : std::nullopt;
}

QStringList Enumerate(const std::filesystem::path& devices, std::string_view extra)
{
    g_cameraCount = 0;
    EnumerateVideoInputs(devices, extra, TextProbe);
    return QStringList(g_cameraNames.begin(), g_cameraNames.begin() + g_cameraCount);
}

}  // namespace

TEST(CameraTable, CaptureDevicesByNumberThenExtraSourcesAtMostTen)
{
    const QTemporaryDir folder;
    const std::filesystem::path dev = folder.path().toStdString();
    EXPECT_TRUE(Enumerate(dev / "missing", "\n \r\n").isEmpty());
    const std::pair<const char*, const char*> nodes[] = {
        {"video10", "capture:Ten"}, {"video2", "capture:Two"}, {"video1", "metadata"}, {"video0", "capture:Zero"},
        {"video05", "capture:not /dev/video5"}, {"video3x", "capture:no"}, {"vbi4", "capture:no"}};
    for (const auto& [name, text] : nodes)
        std::ofstream(dev / name) << text;
    EXPECT_EQ(Enumerate(dev, "/data/seq/f%03d.png\r\n\n  \nrtsp://cam/live/\n"),
              QStringList({"Zero", "Two", "Ten", "f%03d.png", "live"}));
    // The metadata node takes no position: position 1 opens video2.
    EXPECT_EQ(std::get<V4l2Device>(g_cameraSources[1]).number, 2);
    EXPECT_EQ(std::get<std::string>(g_cameraSources[4]), "rtsp://cam/live/");

    for (int n = 11; n < 20; ++n)
        std::ofstream(dev / ("video" + std::to_string(n))) << "capture:" << n;
    EXPECT_EQ(Enumerate(dev, "/more").size(), kMaxCameras);
    EXPECT_EQ(QueryV4l2Capture("/dev/null"), std::nullopt);
}
