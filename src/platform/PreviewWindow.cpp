#include "platform/PreviewWindow.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <map>
#include <memory>

namespace {

// 8-bit pictures are copied as they are; deeper ones are scaled into 8 bits as highgui does.
// The copy's buffer is reused while the size stays: a capture shows a frame per pass.
void CopyInEightBits(const cv::Mat& picture, cv::Mat& copy)
{
    if (picture.depth() == CV_8U) {
        picture.copyTo(copy);
        return;
    }
    const double scale = picture.depth() == CV_16U ? 1.0 / 256 : (picture.depth() >= CV_32F ? 255.0 : 1.0);
    picture.convertTo(copy, CV_8U, scale);
}

QImage::Format QtFormatFor(int channels)
{
    switch (channels) {
    case 1: return QImage::Format_Grayscale8;
    case 3: return QImage::Format_BGR888;
    case 4: return QImage::Format_ARGB32;  // BGRA in memory on little-endian machines
    default: return QImage::Format_Invalid;
    }
}

// The pixels a picture is painted from, into pixels; returns their format. Qt converts gray
// and BGR pictures pixel by pixel at every paint (about 0.8 ms for a 640x480 frame), while
// 32-bit RGB is a plain copy into the window: OpenCV makes that copy once, far faster.
QImage::Format PaintPixelsOf(const cv::Mat& picture, cv::Mat& pixels)
{
    switch (picture.channels()) {
    case 1:
        cv::cvtColor(picture, pixels, cv::COLOR_GRAY2BGRA);
        return QImage::Format_RGB32;
    case 3:
        cv::cvtColor(picture, pixels, cv::COLOR_BGR2BGRA);
        return QImage::Format_RGB32;
    default:
        pixels = picture;
        return QtFormatFor(picture.channels());
    }
}

class PreviewWidget : public QWidget {
public:
    explicit PreviewWidget(const std::string& title)
    {
        setWindowTitle(QString::fromStdString(title));
        setAccessibleName(windowTitle());  // what a screen reader calls the window, as its title says
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void SetPicture(const cv::Mat& picture)
    {
        CopyInEightBits(picture, picture_);
        const QImage::Format format = PaintPixelsOf(picture_, painted_);
        image_ = QImage(painted_.data, painted_.cols, painted_.rows, static_cast<qsizetype>(painted_.step), format);
        setFixedSize(picture_.cols, picture_.rows);
        update();
    }

    const cv::Mat& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }

private:
    cv::Mat picture_;  // as shown, for PreviewPicture (which hands out copies of it)
    cv::Mat painted_;  // owns the pixels that image_ looks at
    QImage image_;
};

std::map<std::string, std::unique_ptr<PreviewWidget>>& Windows()
{
    static std::map<std::string, std::unique_ptr<PreviewWidget>> windows;
    return windows;
}

}  // namespace

void ShowPreview(const std::string& name, const cv::Mat& picture)
{
    if (picture.empty() || QtFormatFor(picture.channels()) == QImage::Format_Invalid)
        return;
    std::unique_ptr<PreviewWidget>& window = Windows()[name];
    if (!window)
        window = std::make_unique<PreviewWidget>(name);
    window->SetPicture(picture);
    if (!window->isVisible())
        window->show();
}

void DestroyAllPreviews()
{
    Windows().clear();
}

bool IsPreviewOpen(const std::string& name)
{
    const auto found = Windows().find(name);
    return found != Windows().end() && found->second->isVisible();
}

cv::Mat PreviewPicture(const std::string& name)
{
    const auto found = Windows().find(name);
    return found == Windows().end() ? cv::Mat() : found->second->Picture().clone();
}
