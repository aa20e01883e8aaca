#include "platform/GrayPicture.h"

#include <opencv2/imgproc.hpp>

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

cv::Mat GrayPictureFromDecoded(const cv::Mat& decoded)
{
    if (decoded.empty() || decoded.depth() != CV_8U)
        return {};
    cv::Mat gray;
    switch (decoded.channels()) {
    case 1:
        return decoded.clone();
    case 3:
        cv::cvtColor(decoded, gray, cv::COLOR_BGR2GRAY);
        return gray;
    case 4: {
        cv::cvtColor(decoded, gray, cv::COLOR_BGRA2GRAY);
        cv::Mat alpha;
        cv::extractChannel(decoded, alpha, 3);
        // gray * alpha + white * (1 - alpha), alpha from 0 to 255
        cv::Mat clear;
        cv::subtract(cv::Scalar::all(255), alpha, clear);
        cv::multiply(gray, alpha, gray, 1.0 / 255);
        cv::add(gray, clear, gray);
        return gray;
    }
    default:
        return {};
    }
}
