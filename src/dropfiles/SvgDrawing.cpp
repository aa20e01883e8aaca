// SVG and SVGZ: the drawing rendered on white by Qt SVG, at a size of its own (kSvgLongerSide)
// whatever size the file names, from text that can reach nothing outside the file.

#include "dropfiles/DocumentReaders.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/Gunzip.h"
#include "dropfiles/RegularFile.h"
#include "dropfiles/SvgText.h"
#include "platform/GrayPicture.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace {

// The drawing's shape at kSvgLongerSide, or an empty size when it has none to speak of.
QSize RenderedSize(QSizeF shape)
{
    if (!(shape.width() > 0 && shape.height() > 0 && std::isfinite(shape.width() / shape.height())))
        return {};
    const double scale = kSvgLongerSide / std::max(shape.width(), shape.height());
    // A sliver of a drawing keeps a pixel across.
    return {std::max(1, static_cast<int>(std::lround(shape.width() * scale))),
            std::max(1, static_cast<int>(std::lround(shape.height() * scale)))};
}

}  // namespace

OpenedDocument OpenSvg(QFile& file, bool gzipped)
{
    Contents contents = ReadWhole(file, kMaxSvgBytes);
    if (!contents.failure && gzipped)
        contents = Gunzip(contents.bytes, kMaxSvgBytes);
    if (contents.failure)
        return {nullptr, contents.failure};
    const std::optional<CleanSvg> clean = CleanSvgText(contents.bytes);
    if (!clean)
        return {nullptr, UnreadableReason::Broken};
    if (clean->drawnElements > kMaxSvgElements)
        return {nullptr, UnreadableReason::OverLimits};

    QSvgRenderer renderer(clean->xml);
    // The view box is what is drawn across the picture; a file without one gives its own size here.
    const QSize size = renderer.isValid() ? RenderedSize(renderer.viewBoxF().size()) : QSize();
    if (size.isEmpty())
        return {nullptr, UnreadableReason::Broken};
    QImage drawing(size, QImage::Format_RGB32);
    if (drawing.isNull())
        return {nullptr, UnreadableReason::OverLimits};
    drawing.fill(Qt::white);
    {
        QPainter painter(&drawing);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(drawing.rect()));
    }
    return OpenedPicture(GrayPictureFromImage(drawing));
}
