#include "capture/EnumerateVideoInputs.h"

#include "capture/CameraSources.h"
#include "ui/LumoraDlg.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kDeviceFolder = "/dev";

// Takes the next free entry of the table; false once it is full.
bool AddCamera(const QString& name, CameraSource source)
{
    if (g_cameraCount >= kMaxCameras)
        return false;
    g_cameraNames[g_cameraCount] = name;
    g_cameraSources[g_cameraCount] = std::move(source);
    ++g_cameraCount;
    return true;
}

bool IsBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

// One source per line; a line end written as CR LF counts as one.
std::vector<std::string> SourceLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!IsBlank(line))
            lines.emplace_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// The last path component, so that "/data/frames/f%03d.jpg" shows as "f%03d.jpg"; a line
// without one (such as "/") shows whole.
QString DisplayNameOf(std::string_view line)
{
    std::string_view name = line;
    while (name.ends_with('/'))
        name.remove_suffix(1);
    name = name.substr(name.rfind('/') + 1);  // npos + 1 is 0: no slash keeps it all
    const std::string_view shown = name.empty() ? line : name;
    return QFile::decodeName(QByteArray(shown.data(), static_cast<qsizetype>(shown.size())));
}

}  // namespace

void EnumerateVideoInputs(const std::filesystem::path& deviceFolder, std::string_view extraCameras,
                          const CaptureProbe& probe)
{
    for (const VideoDevice& device : ListCaptureDevices(deviceFolder, probe))
        if (!AddCamera(QString::fromStdString(device.name), V4l2Device{device.number}))
            return;
    for (const std::string& line : SourceLines(extraCameras))
        if (!AddCamera(DisplayNameOf(line), line))
            return;
}

void EnumerateVideoInputs()
{
    const char* const extraCameras = std::getenv(kExtraCamerasVariable);
    EnumerateVideoInputs(kDeviceFolder, extraCameras != nullptr ? extraCameras : "", QueryV4l2Capture);
}
