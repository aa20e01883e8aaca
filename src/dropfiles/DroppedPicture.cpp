#include "dropfiles/DroppedPicture.h"

#include "platform/GrayPicture.h"

#include <opencv2/imgcodecs.hpp>

#include <QFile>
#include <QImageReader>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <exception>
#include <fstream>

namespace {

constexpr std::size_t kDicomMarkAt = 128;
constexpr std::string_view kDicomMark = "DICM";
// The formats OpenCV tries before DICOM that pictures are dropped in: PNG, JPEG, BMP, TIFF.
constexpr std::array<std::string_view, 5> kEarlierSignatures{
    std::string_view("\x89PNG\r\n\x1a\n"), std::string_view("\xff\xd8\xff"), std::string_view("BM"),
    std::string_view("II*\0", 4), std::string_view("MM\0*", 4)};

// False for whatever exists but is no regular file. A path that names nothing passes:
// imread then fails on it as on any missing file.
bool SafeToOpen(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return true;
    return S_ISREG(info.st_mode);
}

std::string HeadOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string head(kPictureHeadSize, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return head;
}

cv::Mat ReadWithOpenCv(const std::string& path)
{
    try {
        return cv::imread(path, cv::IMREAD_GRAYSCALE);
    } catch (const std::exception&) {
        // OpenCV rejects some damaged headers (e.g. a PGM claiming millions of columns) by
        // throwing instead of returning an empty picture; for the user it is the same thing,
        // a file that did not load, and the rest of the drop must still be handled.
        return {};
    }
}

bool NamesGif(const std::string& path)
{
    return QByteArray::fromStdString(path).toLower().endsWith(".gif");
}

// OpenCV as Debian builds it reads no GIF; Qt does. Its first frame, and only a GIF: other
// formats stay with OpenCV.
cv::Mat ReadGifWithQt(const std::string& path)
{
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "gif");
    reader.setAutoDetectImageFormat(false);
    return GrayPictureFromImage(reader.read());
}

}  // namespace

bool SafeToDecode(std::string_view head)
{
    if (head.substr(std::min(head.size(), kDicomMarkAt), kDicomMark.size()) != kDicomMark)
        return true;
    return std::any_of(kEarlierSignatures.begin(), kEarlierSignatures.end(),
                       [head](std::string_view signature) { return head.starts_with(signature); });
}

cv::Mat LoadDroppedPicture(const std::string& narrowPath)
{
    if (!SafeToOpen(narrowPath) || !SafeToDecode(HeadOf(narrowPath)))
        return {};
    const cv::Mat picture = ReadWithOpenCv(narrowPath);
    if (picture.empty() && NamesGif(narrowPath))
        return ReadGifWithQt(narrowPath);
    return picture;
}
