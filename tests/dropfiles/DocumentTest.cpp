// Dropped documents against the manifest of tests/data/documents: each file's pages, in
// order, with the codes the drop path reads on each, or why the file gives none. And every
// picture of the older kinds reads exactly as it did before documents.

#include "decode/AcceptLists.h"
#include "decode/ReadSymbols.h"
#include "dropfiles/DroppedDocument.h"
#include "dropfiles/DroppedPicture.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <QDir>

#include <fstream>
#include <future>
#include <vector>

namespace {

const std::string kDocuments = LUMORA_TEST_DATA "/documents/";
const std::string kOlderPictures = LUMORA_TEST_DATA "/pictures/";

// The manifest's line for a file, from what is read of it. Pages read apart are read on two
// threads at once, as the drop path's workers may.
std::string DescribeDocument(const std::string& name)
{
    const OpenedDocument opened = OpenDroppedDocument(kDocuments + name);
    std::string line = name + '\t';
    if (!opened.document) {
        constexpr const char* kReasons[] = {"Encrypted", "Broken", "OverLimits"};
        return line + (opened.failure ? kReasons[static_cast<int>(*opened.failure)] : "-");
    }
    DroppedDocument& document = *opened.document;
    line += std::to_string(document.PageCount()) + (document.Truncated() ? "+" : "");
    if (document.Truncated())
        return line;  // a thousand blank pages: reading them all would only take time
    std::vector<cv::Mat> pages(static_cast<std::size_t>(document.PageCount()));
    const int threads = document.Order() == PageOrder::Apart ? 2 : 1;
    const auto readEvery = [&](int first) {
        for (int page = first; page < document.PageCount(); page += threads)
            pages[static_cast<std::size_t>(page)] = document.Page(page);
    };
    std::future<void> odd;
    if (threads == 2)
        odd = std::async(std::launch::async, readEvery, 1);
    readEvery(0);
    if (odd.valid())
        odd.wait();
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const cv::Mat& gray = pages[page];
        for (const SymbolHit& hit : ReadSymbols(gray.cols, gray.rows, gray.data, DROP_TYPES, kEveryFurtherLook))
            line += '\t' + std::to_string(page + 1) + ':' + hit.data;
    }
    return line;
}

}  // namespace

TEST(OpenDroppedDocument, EveryDocumentGivesItsPagesAndCodesOrWhyNot)
{
    // Where a relative href in an SVG would find its picture, were it followed.
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(kDocuments)));
    std::ifstream manifest(kDocuments + "MANIFEST.txt");
    int files = 0;
    for (std::string line; std::getline(manifest, line); ++files)
        EXPECT_EQ(DescribeDocument(line.substr(0, line.find('\t'))), line);
    EXPECT_GE(files, 26);
}

TEST(OpenDroppedDocument, PicturesOfTheOlderKindsReadAsBefore)
{
    std::ifstream manifest(kOlderPictures + "MANIFEST.txt");
    int pictures = 0;
    for (std::string line; std::getline(manifest, line); ++pictures) {
        const std::string path = kOlderPictures + line.substr(0, line.find('\t'));
        const cv::Mat before = LoadDroppedPicture(path);
        const OpenedDocument opened = OpenDroppedDocument(path);
        ASSERT_EQ(opened.document != nullptr, !before.empty()) << path;
        EXPECT_FALSE(opened.failure) << path;
        if (before.empty())
            continue;
        const cv::Mat now = opened.document->Page(0);
        EXPECT_EQ(opened.document->PageCount(), 1) << path;
        EXPECT_TRUE(now.size() == before.size() && cv::norm(now, before, cv::NORM_INF) == 0) << path;
    }
    EXPECT_GE(pictures, 30);
}
