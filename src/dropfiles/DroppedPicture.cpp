#include "dropfiles/DroppedPicture.h"

#include <opencv2/imgcodecs.hpp>

#include <sys/stat.h>

#include <exception>

namespace {

// False for whatever exists but is no regular file. A path that names nothing passes:
// imread then fails on it as on any missing file.
bool SafeToOpen(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return true;
    return S_ISREG(info.st_mode);
}

}  // namespace

cv::Mat LoadDroppedPicture(const std::string& narrowPath)
{
    if (!SafeToOpen(narrowPath))
        return {};
    try {
        return cv::imread(narrowPath, cv::IMREAD_GRAYSCALE);
    } catch (const std::exception&) {
        // OpenCV rejects some damaged headers (e.g. a PGM claiming millions of columns) by
        // throwing instead of returning an empty picture; for the user it is the same thing,
        // a file that did not load, and the rest of the drop must still be handled.
        return {};
    }
}
