#include "dropfiles/DroppedDocument.h"

#include "dropfiles/DocumentReaders.h"
#include "dropfiles/DropExtensions.h"
#include "dropfiles/FileFormat.h"
#include "dropfiles/RegularFile.h"

#include <new>

namespace {

OpenedDocument OpenByContent(const std::string& narrowPath, bool newerKind)
{
    std::unique_ptr<QFile> file = OpenRegularFile(narrowPath);
    if (!file)
        return {nullptr, UnreadableReason::Broken};
    switch (SniffFormat(file->peek(kSniffSize))) {
    case FileFormat::Tiff:
        return OpenTiffPages(narrowPath);
    case FileFormat::Gif:
        return OpenGif(std::move(file));
    case FileFormat::WebP:
        return OpenWebp(std::move(file));
    case FileFormat::Heif:
        return OpenHeif(*file);
    case FileFormat::Pdf:
        return OpenPdf(*file);
    case FileFormat::Svg:
        return OpenSvg(*file, false);
    case FileFormat::GzipSvg:
        return OpenSvg(*file, true);
    case FileFormat::Unknown:
        if (newerKind)
            return {nullptr, UnreadableReason::Broken};
        break;  // OpenCV tries it, as it always did
    case FileFormat::OpenCvPicture:
        break;
    }
    return OpenPicture(narrowPath);
}

}  // namespace

cv::Mat DroppedDocument::Page(int index) noexcept
{
    try {
        cv::Mat page = ReadPage(index);
        if (page.type() == CV_8UC1 && page.isContinuous())
            return page;
    } catch (...) {
        // As for a file that cannot be opened: this page is lost, the others may still read.
    }
    return {};
}

OpenedDocument OpenDroppedDocument(const std::string& narrowPath)
{
    const bool newerKind = NewerKindExtension(QFile::decodeName(QByteArray::fromStdString(narrowPath)));
    OpenedDocument opened;
    try {
        opened = OpenByContent(narrowPath, newerKind);
    } catch (const std::bad_alloc&) {
        opened = {nullptr, UnreadableReason::OverLimits};
    } catch (...) {
        // Whatever a library throws for a damaged file: the rest of the drop must still be read.
        opened = {nullptr, UnreadableReason::Broken};
    }
    if (!newerKind)
        opened.failure.reset();
    return opened;
}
