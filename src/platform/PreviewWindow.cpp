#include "platform/PreviewWindow.h"

#include <opencv2/core.hpp>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <map>
#include <memory>

namespace {

// 8-bit pictures are kept as they are; deeper ones are scaled into 8 bits as highgui does.
cv::Mat EightBitCopy(const cv::Mat& picture)
{
    if (picture.depth() == CV_8U)
        return picture.clone();
    cv::Mat converted;
    const double scale = picture.depth() == CV_16U ? 1.0 / 256 : (picture.depth() >= CV_32F ? 255.0 : 1.0);
    picture.convertTo(converted, CV_8U, scale);
    return converted;
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

class PreviewWidget : public QWidget {
public:
    explicit PreviewWidget(const std::string& title)
    {
        setWindowTitle(QString::fromStdString(title));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void SetPicture(cv::Mat picture)
    {
        picture_ = std::move(picture);
        image_ = QImage(picture_.data, picture_.cols, picture_.rows, static_cast<qsizetype>(picture_.step),
                        QtFormatFor(picture_.channels()));
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
    cv::Mat picture_;  // owns the pixels that image_ looks at
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
    window->SetPicture(EightBitCopy(picture));
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
