// The scan against what ZBar's own reader finds in the test pictures, and the accept lists
// against the names ZBar gives.

#include "decode/AcceptLists.h"
#include "decode/ScanGrayImage.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <fstream>
#include <stdexcept>

namespace {

const std::string kPictures = LUMORA_TEST_DATA "/pictures/";

std::vector<SymbolHit> Scan(const cv::Mat& gray)
{
    std::vector<SymbolHit> hits;
    ScanGrayImage(gray.cols, gray.rows, gray.data, [&](const SymbolHit& hit) { hits.push_back(hit); });
    return hits;
}

cv::Mat Picture(const std::string& name)
{
    return cv::imread(kPictures + name, cv::IMREAD_GRAYSCALE);
}

// "TYPE:data" as the manifest writes it: \xHH for bytes outside printable ASCII.
std::string Describe(const SymbolHit& hit)
{
    std::string text = hit.typeName + ":";
    for (const unsigned char byte : hit.data)
        text += byte >= 0x20 && byte < 0x7f && byte != '\\' ? std::string(1, static_cast<char>(byte))
                                                              : cv::format("\\x%02x", byte);
    return text;
}

}  // namespace

TEST(ScanGrayImage, FindsWhatZbarsOwnReaderFindsInEveryTestPicture)
{
    std::ifstream manifest(kPictures + "MANIFEST.txt");
    int pictures = 0;
    for (std::string line; std::getline(manifest, line);) {
        const std::string name = line.substr(0, line.find('\t'));
        const cv::Mat gray = Picture(name);
        if (gray.empty())
            continue;  // not a picture OpenCV reads
        std::string found = name;
        for (const SymbolHit& hit : Scan(gray))
            found.append(1, '\t').append(Describe(hit));
        EXPECT_EQ(found, line);
        ++pictures;
    }
    EXPECT_GE(pictures, 25);
    EXPECT_EQ(Scan(Picture("qr-and-code128.png")).at(0).points.size(), 4U);
}

TEST(ScanGrayImage, TheCameraTakesSixSymbologiesTheDropTwo)
{
    const char* const both[] = {"qr.png", "codabar.png"};
    const char* const camera[] = {"code39.png", "code128.png", "ean13.png", "isbn13.png"};
    const char* const neither[] = {"upca.png", "i25.png", "code93.png"};
    const auto accepted = [](const char* name, const auto& list) {
        return IsAccepted(Scan(Picture(name)).at(0).typeName, list);
    };
    for (const char* const name : both)
        EXPECT_TRUE(accepted(name, CAMERA_TYPES) && accepted(name, DROP_TYPES)) << name;
    for (const char* const name : camera)
        EXPECT_TRUE(accepted(name, CAMERA_TYPES) && !accepted(name, DROP_TYPES)) << name;
    for (const char* const name : neither)
        EXPECT_FALSE(accepted(name, CAMERA_TYPES) || accepted(name, DROP_TYPES)) << name;
}

TEST(ScanGrayImage, PicturesWithoutPixelsReportNothingAndAThrowPassesThrough)
{
    const cv::Mat qr = Picture("two-qr.png");
    int calls = 0;
    const auto count = [&](const SymbolHit&) { ++calls; };
    ScanGrayImage(0, 0, nullptr, count);
    ScanGrayImage(qr.cols, qr.rows, nullptr, count);
    ScanGrayImage(0, qr.rows, qr.data, count);
    ScanGrayImage(65536, 65537, qr.data, count);  // 2^32 + 2^16 pixels: past the buffer
    EXPECT_EQ(calls, 0);

    const auto stop = [&](const SymbolHit&) {
        ++calls;
        throw std::runtime_error("stop");
    };
    EXPECT_THROW(ScanGrayImage(qr.cols, qr.rows, qr.data, stop), std::runtime_error);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Scan(qr).size(), 2U);  // every scan starts afresh
}
