// Animated GIF and WebP: every frame, in order, through Qt's readers (qt6-image-formats-plugins
// brings the WebP one). Each frame comes whole, drawn over the ones before it as a viewer
// shows it. A still WebP is decoded by OpenCV, laid on white where transparent as every frame
// is (a gray read would take its transparent pixels for the black they are often stored as).

#include "dropfiles/DocumentReaders.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/FileFormat.h"
#include "dropfiles/RegularFile.h"
#include "platform/GrayPicture.h"

#include <opencv2/imgcodecs.hpp>

#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace {

// An animation's frames: the first read when the file was opened, the others from the same
// reader in turn.
class AnimationFrames final : public DroppedDocument {
public:
    AnimationFrames(std::unique_ptr<QFile> file, std::unique_ptr<QImageReader> reader, cv::Mat first, int frames)
        : m_file(std::move(file)),
          m_reader(std::move(reader)),
          m_first(std::move(first)),
          m_frames(std::min(frames, kMaxPages)),
          m_truncated(frames > kMaxPages)
    {
    }
    int PageCount() const override { return m_frames; }
    PageOrder Order() const override { return PageOrder::InOrder; }
    bool Truncated() const override { return m_truncated; }

private:
    cv::Mat ReadPage(int index) override
    {
        if (index == 0)
            return std::exchange(m_first, {});
        if (index < m_next || index >= m_frames)
            return {};  // frames are drawn over one another: there is no going back
        for (; m_next < index; ++m_next)
            static_cast<void>(m_reader->read());  // asked out of turn: the skipped frames still count
        ++m_next;
        return GrayPictureFromImage(m_reader->read());
    }

    const std::unique_ptr<QFile> m_file;  // the reader's device
    const std::unique_ptr<QImageReader> m_reader;
    cv::Mat m_first;
    const int m_frames;
    const bool m_truncated;
    int m_next = 1;
};

bool OverPixelLimit(QSize size)
{
    return static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels;
}

// Reads format from file by Qt, its frame 0 at once (so that a broken file is known now).
OpenedDocument OpenAnimation(std::unique_ptr<QFile> file, const QByteArray& format)
{
    auto reader = std::make_unique<QImageReader>(file.get(), format);
    reader->setAutoDetectImageFormat(false);  // the content chose the format; the name is no guide
    // The header's canvas, before any frame is decoded.
    if (OverPixelLimit(reader->size()))
        return {nullptr, UnreadableReason::OverLimits};
    const int frames = std::max(reader->imageCount(), 1);  // 0: not known, yet frame 0 may read
    cv::Mat first = GrayPictureFromImage(reader->read());
    if (frames == 1)
        return OpenedPicture(std::move(first));
    if (first.empty())
        return {nullptr, UnreadableReason::Broken};
    return {std::make_unique<AnimationFrames>(std::move(file), std::move(reader), std::move(first), frames),
            std::nullopt};
}

// The canvas of an animated WebP as its extended header (VP8X) gives it, or an invalid size
// for a still one. Read here, since Qt allocates the canvas as soon as it is asked for its size.
QSize AnimatedWebpCanvas(QByteArrayView head)
{
    constexpr qsizetype kChunkAt = 12;
    constexpr qsizetype kFlagsAt = 20;
    constexpr qsizetype kWidthAt = 24;  // then the height: each 24 bits, little-endian, minus one
    constexpr qsizetype kHeaderSize = 30;
    constexpr char kAnimationFlag = 0x02;
    if (head.size() < kHeaderSize || head.sliced(kChunkAt, 4) != "VP8X" || (head[kFlagsAt] & kAnimationFlag) == 0)
        return {};
    const auto byte = [head](qsizetype at) { return static_cast<int>(static_cast<unsigned char>(head[at])); };
    const auto side = [&byte](qsizetype at) { return (byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16) + 1; };
    return {side(kWidthAt), side(kWidthAt + 3)};
}

}  // namespace

OpenedDocument OpenGif(std::unique_ptr<QFile> file)
{
    return OpenAnimation(std::move(file), "gif");
}

OpenedDocument OpenWebp(std::unique_ptr<QFile> file)
{
    if (file->size() > kMaxPictureFileBytes)
        return {nullptr, UnreadableReason::OverLimits};
    const QSize canvas = AnimatedWebpCanvas(file->peek(kSniffSize));
    if (canvas.isValid())
        return OverPixelLimit(canvas) ? OpenedDocument{nullptr, UnreadableReason::OverLimits}
                                      : OpenAnimation(std::move(file), "webp");
    // Still: Qt reads the size from the header alone, then OpenCV decodes it as stored, with
    // its transparency (Qt's reader would refuse a picture over 128 MiB decoded).
    QImageReader reader(file.get(), "webp");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid())
        return {nullptr, UnreadableReason::Broken};
    if (OverPixelLimit(size))
        return {nullptr, UnreadableReason::OverLimits};
    const Contents contents = ReadWhole(*file, kMaxPictureFileBytes);
    if (contents.failure)
        return {nullptr, contents.failure};
    const cv::Mat stored(1, static_cast<int>(contents.bytes.size()), CV_8UC1,
                         const_cast<char*>(contents.bytes.constData()));
    return OpenedPicture(GrayPictureFromDecoded(cv::imdecode(stored, cv::IMREAD_UNCHANGED)));
}
