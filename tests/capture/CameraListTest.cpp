#include "CaptureKit.h"

#include "app/CaptureState.h"
#include "capture/CameraSources.h"
#include "capture/EnumerateVideoInputs.h"
#include "capture/OutlineVertices.h"
#include "capture/PreviewWindowName.h"
#include "platform/PreviewWindow.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <fstream>
#include <iterator>

namespace {

// Stands in for VIDIOC_QUERYCAP: a node whose text is "capture:Name" captures video.
std::optional<std::string> TextProbe(const std::filesystem::path& node)
{
    std::ifstream in(node);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.starts_with("capture:"))
        return std::nullopt;
    return text.substr(8);
}

QStringList Enumerate(const std::filesystem::path& devices, std::string_view extra)
{
    g_cameraCount = 0;
    EnumerateVideoInputs(devices, extra, TextProbe);
    QStringList names;
    for (int i = 0; i < g_cameraCount; ++i)
        names << g_cameraNames[i];
    return names;
}

}  // namespace

TEST(CameraTable, DevicesByNumberThenExtraSourcesUnderTheirLastComponent)
{
    const TempDir dev;
    EXPECT_TRUE(Enumerate(dev.path(), "").isEmpty());
    EXPECT_TRUE(Enumerate(dev / "missing", "\n \r\n").isEmpty());

    std::ofstream(dev / "video10") << "capture:Ten";
    std::ofstream(dev / "video2") << "capture:Two";
    std::ofstream(dev / "video1") << "metadata";
    std::ofstream(dev / "video0") << "capture:Zero";
    EXPECT_EQ(Enumerate(dev.path(), "/data/seq/f%03d.png\r\n\n  \nrtsp://cam/live/\n"),
              QStringList({"Zero", "Two", "Ten", "f%03d.png", "live"}));
    // The metadata node takes no position: position 1 opens video2.
    EXPECT_EQ(std::get<V4l2Device>(g_cameraSources[1]).number, 2);
    EXPECT_EQ(std::get<V4l2Device>(g_cameraSources[2]).number, 10);
    EXPECT_EQ(std::get<std::string>(g_cameraSources[3]), "/data/seq/f%03d.png");
    EXPECT_EQ(std::get<std::string>(g_cameraSources[4]), "rtsp://cam/live/");
}

TEST(CameraTable, HoldsTenCamerasAtMost)
{
    const TempDir dev;
    for (int n = 0; n < 9; ++n)
        std::ofstream(dev / ("video" + std::to_string(n))) << "capture:Cam " << n;
    const std::string extra = "a/one\nb/two\n";
    EXPECT_EQ(Enumerate(dev.path(), extra).mid(8), QStringList({"Cam 8", "one"}));

    for (int n = 9; n < 12; ++n)
        std::ofstream(dev / ("video" + std::to_string(n))) << "capture:Cam " << n;
    const QStringList names = Enumerate(dev.path(), extra);
    ASSERT_EQ(names.size(), kMaxCameras);
    EXPECT_EQ(names.back(), "Cam 9");
    EXPECT_EQ(std::get<V4l2Device>(g_cameraSources[9]).number, 9);
}

TEST(OutlineVertices, WalkOverTheLocationPoints)
{
    using Points = std::vector<std::pair<int, int>>;
    const auto walk = [](const Points& points) {
        std::vector<cv::Point> vertices;
        if (const auto outline = OutlineVertices(points))
            vertices.assign(outline->begin(), outline->end());
        return vertices;
    };
    const cv::Point p0(1, 2), p1(3, 4), p2(5, 6), p3(7, 8);
    EXPECT_EQ(walk({{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 9}}), std::vector<cv::Point>({p0, p1, p2, p3}));
    EXPECT_EQ(walk({{1, 2}, {3, 4}, {5, 6}}), std::vector<cv::Point>({p0, p1, p2, p2}));
    EXPECT_EQ(walk({{1, 2}, {3, 4}}), std::vector<cv::Point>({p0, p1, p1, p0}));
    EXPECT_EQ(walk({{1, 2}}), std::vector<cv::Point>({p0, p0, p0, p0}));
    EXPECT_TRUE(walk({}).empty());
}

using CameraChoice = CaptureTest;

TEST_F(CameraChoice, TheListedSelectionIsWhatTheNextRunOpens)
{
    const std::string qr = Sequence("a", {Frame("qr.png")});
    const std::string code128 = Sequence("b", {Frame("code128.png")});
    OpenDialog({qr, code128});
    QComboBox& list = *dialog->m_comboCamera;
    ASSERT_EQ(list.count(), g_cameraCount);
    EXPECT_EQ(list.itemText(PositionOf(code128)), "f%03d.png");
    EXPECT_EQ(list.maxVisibleItems(), g_cameraCount + 1);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(g_cameraIndex, 0);

    Start(code128);
    EXPECT_EQ(Lines(), QStringList({"Lumora-128"}));

    {  // a selection moved without notice and then confirmed by closing the popup
        const QSignalBlocker quiet(list);
        list.setCurrentIndex(PositionOf(qr));
    }
    list.hidePopup();
    EXPECT_EQ(g_cameraIndex, PositionOf(qr));
    Start(qr);
    EXPECT_EQ(Lines(), QStringList({"Lumora-128", "Hello, Lumora"}));
}

TEST_F(CameraChoice, NoSelectionHandsMinusOneToOpenCv)
{
    if (!ListCaptureDevices("/dev").empty())
        GTEST_SKIP() << "with a camera attached, index -1 opens it";
    // An index goes to every backend; OpenCV's gphoto2 probe leaks libusb's device list,
    // which the sanitizer build would report at exit.
    setenv("OPENCV_VIDEOIO_PRIORITY_GPHOTO2", "0", 1);
    OpenDialog({Sequence("a", {Frame("qr.png")})});
    dialog->m_comboCamera->setCurrentIndex(-1);
    EXPECT_EQ(g_cameraIndex, -1);
    Button(IDC_START_CAPTURE)->click();
    EXPECT_TRUE(run.pauses.empty());  // -1 did not become a list position: nothing opened
    EXPECT_EQ(g_captureRunning, 0);
    EXPECT_FALSE(IsPreviewOpen(PREVIEW_WINDOW));
}
