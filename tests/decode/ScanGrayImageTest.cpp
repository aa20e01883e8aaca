// The scan against what ZBar's own reader finds in the test pictures.

#include "decode/ScanGrayImage.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string kPictures = LUMORA_TEST_DATA "/pictures/";

std::vector<SymbolHit> Scan(const cv::Mat& gray)
{
    std::vector<SymbolHit> hits;
    ScanGrayImage(gray.cols, gray.rows, gray.data, [&](const SymbolHit& hit) { hits.push_back(hit); });
    return hits;
}

std::vector<SymbolHit> ScanFile(const std::string& name)
{
    const cv::Mat gray = cv::imread(kPictures + name, cv::IMREAD_GRAYSCALE);
    EXPECT_FALSE(gray.empty()) << name;
    return Scan(gray);
}

// "TYPE:data" with the manifest's escapes: \xHH for bytes outside printable ASCII.
std::string Describe(const SymbolHit& hit)
{
    std::string text = hit.typeName + ":";
    for (const char c : hit.data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    return text;
}

}  // namespace

TEST(ScanGrayImage, FindsWhatZbarsOwnReaderFindsInEveryTestPicture)
{
    std::ifstream manifest(kPictures + "MANIFEST.txt");
    ASSERT_TRUE(manifest) << "MANIFEST.txt";
    std::string line;
    int pictures = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name;
        std::getline(fields, name, '\t');
        std::vector<std::string> expected;
        for (std::string symbol; std::getline(fields, symbol, '\t');)
            expected.push_back(symbol);
        const cv::Mat gray = cv::imread(kPictures + name, cv::IMREAD_GRAYSCALE);
        if (gray.empty())
            continue;  // not a picture: covered by the drop tests
        std::vector<std::string> found;
        for (const SymbolHit& hit : Scan(gray))
            found.push_back(Describe(hit));
        EXPECT_EQ(found, expected) << name;
        ++pictures;
    }
    EXPECT_GE(pictures, 20);
}

TEST(ScanGrayImage, ReportsSeveralSymbolsInLibraryOrderEachWithItsOutline)
{
    const std::vector<SymbolHit> mixed = ScanFile("qr-and-code128.png");
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[0].typeName, "QR-Code");
    EXPECT_EQ(mixed[1].typeName, "CODE-128");
    EXPECT_EQ(mixed[0].points.size(), 4u);
    EXPECT_FALSE(mixed[1].points.empty());

    const std::vector<SymbolHit> twoQr = ScanFile("two-qr.png");
    ASSERT_EQ(twoQr.size(), 2u);
    EXPECT_EQ(twoQr[0].data, "second");
    EXPECT_EQ(twoQr[1].data, "first");
}

TEST(ScanGrayImage, KeepsZeroBytesInsideTheData)
{
    const std::vector<SymbolHit> hits = ScanFile("qr-zero-byte.png");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].data, std::string("abc\0def", 7));
}

TEST(ScanGrayImage, EmptyOrPixellessPicturesReportNothing)
{
    int calls = 0;
    const auto count = [&](const SymbolHit&) { ++calls; };
    ScanGrayImage(0, 0, nullptr, count);
    const cv::Mat qr = cv::imread(kPictures + "qr.png", cv::IMREAD_GRAYSCALE);
    ScanGrayImage(qr.cols, qr.rows, nullptr, count);
    ScanGrayImage(0, qr.rows, qr.data, count);
    ScanGrayImage(qr.cols, 0, qr.data, count);
    EXPECT_EQ(calls, 0);
}

TEST(ScanGrayImage, OneScanLineGivesAnOutlineOfFewerThanFourPoints)
{
    const cv::Mat code = cv::imread(kPictures + "code128.png", cv::IMREAD_GRAYSCALE);
    const cv::Mat row = code.row(code.rows / 2).clone();
    const std::vector<SymbolHit> hits = Scan(row);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].data, "Lumora-128");
    EXPECT_LT(hits[0].points.size(), 4u);
    EXPECT_FALSE(hits[0].points.empty());
}

TEST(ScanGrayImage, AThrowingActionPassesThroughAndTheNextScanWorks)
{
    const cv::Mat qr = cv::imread(kPictures + "two-qr.png", cv::IMREAD_GRAYSCALE);
    int calls = 0;
    EXPECT_THROW(ScanGrayImage(qr.cols, qr.rows, qr.data,
                               [&](const SymbolHit&) {
                                   ++calls;
                                   throw std::runtime_error("stop");
                               }),
                 std::runtime_error);
    EXPECT_EQ(calls, 1);
    // Every scan starts afresh: the same picture reports both symbols again. (Under the
    // sanitizer build, LeakSanitizer checks that the thrown-through scan released ZBar's objects.)
    EXPECT_EQ(Scan(qr).size(), 2u);
}
