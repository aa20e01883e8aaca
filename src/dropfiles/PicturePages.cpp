// Pictures that OpenCV reads: one page, or every page of a TIFF.

#include "dropfiles/DocumentReaders.h"

#include "dropfiles/DocumentLimits.h"
#include "dropfiles/DroppedPicture.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <exception>
#include <vector>

namespace {

// A TIFF's pages: the first read when the file was opened, as a single picture is; each of the
// others by a decoder of its own, so on any thread, in any order.
class TiffPages final : public DroppedDocument {
public:
    TiffPages(std::string narrowPath, cv::Mat first, std::size_t pages)
        : m_path(std::move(narrowPath)),
          m_first(std::move(first)),
          m_pages(static_cast<int>(std::min<std::size_t>(pages, kMaxPages))),
          m_truncated(pages > static_cast<std::size_t>(kMaxPages))
    {
    }
    int PageCount() const override { return m_pages; }
    PageOrder Order() const override { return PageOrder::Apart; }
    bool Truncated() const override { return m_truncated; }

private:
    cv::Mat ReadPage(int index) override
    {
        if (index == 0)
            return std::exchange(m_first, {});
        std::vector<cv::Mat> page;
        // OpenCV throws for some damaged pages, as for damaged files; Page takes it for a lost page.
        if (!cv::imreadmulti(m_path, page, index, 1, cv::IMREAD_GRAYSCALE) || page.size() != 1)
            return {};
        return page.front();
    }

    const std::string m_path;
    cv::Mat m_first;
    const int m_pages;
    const bool m_truncated;
};

}  // namespace

OpenedDocument OpenedPicture(cv::Mat picture)
{
    if (picture.empty())
        return {nullptr, UnreadableReason::Broken};
    return {std::make_unique<OnePicture>(std::move(picture)), std::nullopt};
}

OpenedDocument OpenPicture(const std::string& narrowPath)
{
    return OpenedPicture(LoadDroppedPicture(narrowPath));
}

OpenedDocument OpenTiffPages(const std::string& narrowPath)
{
    cv::Mat first = LoadDroppedPicture(narrowPath);
    std::size_t pages = 1;
    try {
        pages = cv::imcount(narrowPath, cv::IMREAD_GRAYSCALE);
    } catch (const std::exception&) {
        // Pages that cannot even be counted are left out; the first is read as always.
    }
    if (pages <= 1)
        return OpenedPicture(std::move(first));
    return {std::make_unique<TiffPages>(narrowPath, std::move(first), pages), std::nullopt};
}
