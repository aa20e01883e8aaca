// The camera table: what the list shows and what each position opens; the outline's corners.

#include "capture/CameraSources.h"
#include "capture/EnumerateVideoInputs.h"
#include "capture/OutlineVertices.h"

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

TEST(OutlineVertices, WalkOverTheLocationPointsAndStartOver)
{
    const auto walk = [](std::vector<std::pair<int, int>> points) {
        const auto outline = OutlineVertices(points);
        return outline ? std::vector<cv::Point>(outline->begin(), outline->end()) : std::vector<cv::Point>();
    };
    const cv::Point p0(1, 2), p1(3, 4), p2(5, 6), p3(7, 8);
    EXPECT_EQ(walk({{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 9}}), std::vector<cv::Point>({p0, p1, p2, p3}));
    EXPECT_EQ(walk({{1, 2}, {3, 4}, {5, 6}}), std::vector<cv::Point>({p0, p1, p2, p2}));
    EXPECT_EQ(walk({{1, 2}, {3, 4}}), std::vector<cv::Point>({p0, p1, p1, p0}));
    EXPECT_EQ(walk({{1, 2}}), std::vector<cv::Point>({p0, p0, p0, p0}));
    EXPECT_TRUE(walk({}).empty());
}
