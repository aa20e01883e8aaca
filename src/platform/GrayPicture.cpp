#include "platform/GrayPicture.h"

#include <QImage>
#include <QPainter>

cv::Mat GrayPictureFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    QImage opaque = image;
    if (image.hasAlphaChannel()) {
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter(&opaque).drawImage(0, 0, image);
    }
    const QImage gray = opaque.convertToFormat(QImage::Format_Grayscale8);
    if (gray.isNull())
        return {};  // too large to convert: as a file that does not load
    // Qt pads rows to four bytes; the clone is the gapless copy, and owns its pixels.
    return cv::Mat(gray.height(), gray.width(), CV_8UC1, const_cast<uchar*>(gray.constBits()),
                   static_cast<std::size_t>(gray.bytesPerLine()))
        .clone();
}
