// PDF: every page, rendered by Poppler at kPdfDotsPerInch (less for a page too large for the
// pixel budget), on white, antialiased.
//
// Poppler promises nothing about one Poppler::Document rendering two pages at once (loading
// documents on several threads is safe: its global set-up is locked). So each page is rendered
// with a Document that no other thread holds at the moment: a thread borrows an idle one, or
// loads its own from the file's bytes (shared, never written) when all are busy. There are
// never more Documents than threads rendering at once.

#include "dropfiles/DocumentReaders.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/RegularFile.h"
#include "platform/GrayPicture.h"

#include <poppler-qt6.h>

#include <QImage>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

using PopplerDocument = std::unique_ptr<Poppler::Document>;
using Clock = std::chrono::steady_clock;

PopplerDocument LoadPdf(const QByteArray& bytes)
{
    // Poppler writes every syntax error of a damaged file to standard error; its verdict is
    // enough here. Set once, for every document of the process.
    static std::once_flag quiet;
    std::call_once(quiet, [] { Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant()); });
    PopplerDocument document = Poppler::Document::loadFromData(bytes);
    if (document && !document->isLocked()) {
        document->setRenderHint(Poppler::Document::Antialiasing);
        document->setRenderHint(Poppler::Document::TextAntialiasing);
    }
    return document;
}

// Dots per inch for a page of that size in points: kPdfDotsPerInch, or less to stay within
// kMaxPagePixels and kMaxPageSide; 0 for a page without a size.
double ResolutionFor(QSizeF points)
{
    constexpr double kPointsPerInch = 72;
    const double width = points.width() / kPointsPerInch;
    const double height = points.height() / kPointsPerInch;
    if (!(width > 0 && height > 0 && std::isfinite(width * height)))
        return 0;
    return std::min({kPdfDotsPerInch, std::sqrt(static_cast<double>(kMaxPagePixels) / (width * height)),
                     kMaxPageSide / std::max(width, height)});
}

bool PastDeadline(const QVariant& deadline)
{
    return Clock::now().time_since_epoch().count() > deadline.toLongLong();
}

cv::Mat RenderPage(const Poppler::Document& document, int index)
{
    const std::unique_ptr<Poppler::Page> page = document.page(index);
    if (!page)
        return {};
    const double dpi = ResolutionFor(page->pageSizeF());
    if (dpi <= 0)
        return {};
    const qint64 giveUpAt = (Clock::now() + kMaxPageRenderTime).time_since_epoch().count();
    const QVariant deadline = QVariant::fromValue(giveUpAt);
    const QImage image = page->renderToImage(dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
                                             PastDeadline, deadline);
    if (PastDeadline(deadline))
        return {};  // given up half drawn
    return GrayPictureFromImage(image);
}

class PdfPages final : public DroppedDocument {
public:
    PdfPages(QByteArray bytes, PopplerDocument first, int pages)
        : m_bytes(std::move(bytes)), m_pages(std::min(pages, kMaxPages)), m_truncated(pages > kMaxPages)
    {
        m_idle.push_back(std::move(first));
    }
    int PageCount() const override { return m_pages; }
    PageOrder Order() const override { return PageOrder::Apart; }
    bool Truncated() const override { return m_truncated; }
    bool Drawn() const override { return true; }

private:
    cv::Mat ReadPage(int index) override
    {
        if (index < 0 || index >= m_pages)
            return {};
        PopplerDocument document = Borrow();
        if (!document)
            return {};
        cv::Mat page = RenderPage(*document, index);
        GiveBack(std::move(document));
        return page;
    }

    PopplerDocument Borrow()
    {
        {
            const std::lock_guard lock(m_idleLock);
            if (!m_idle.empty()) {
                PopplerDocument document = std::move(m_idle.back());
                m_idle.pop_back();
                return document;
            }
        }
        return LoadPdf(m_bytes);  // outside the lock: parsing takes a while
    }

    void GiveBack(PopplerDocument document)
    {
        const std::lock_guard lock(m_idleLock);
        m_idle.push_back(std::move(document));
    }

    const QByteArray m_bytes;
    const int m_pages;
    const bool m_truncated;
    std::mutex m_idleLock;
    std::vector<PopplerDocument> m_idle;  // loaded, and held by no thread
};

}  // namespace

OpenedDocument OpenPdf(QFile& file)
{
    Contents contents = ReadWhole(file, kMaxPdfBytes);
    if (contents.failure)
        return {nullptr, contents.failure};
    PopplerDocument document = LoadPdf(contents.bytes);
    if (!document)
        return {nullptr, UnreadableReason::Broken};
    if (document->isLocked())
        return {nullptr, UnreadableReason::Encrypted};
    const int pages = document->numPages();
    if (pages <= 0)
        return {nullptr, UnreadableReason::Broken};
    return {std::make_unique<PdfPages>(std::move(contents.bytes), std::move(document), pages), std::nullopt};
}
