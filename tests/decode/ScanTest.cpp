// The scan against what ZBar's own reader finds in the test pictures, the accept lists
// against the names ZBar gives, and the two engines merged.

#include "decode/AcceptLists.h"
#include "decode/QrText.h"
#include "decode/ReadSymbols.h"
#include "decode/ScanGrayImage.h"
#include "decode/ZxingRead.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <fstream>
#include <stdexcept>

namespace {

const std::string kPictures = LUMORA_TEST_DATA "/pictures/";
const std::string kDegraded = LUMORA_TEST_DATA "/degraded/";
const std::string kTexts = LUMORA_TEST_DATA "/texts/";

// What ZBar reads, QR codes' bytes read as the manifest reads them.
std::vector<SymbolHit> Scan(const cv::Mat& gray)
{
    std::vector<SymbolHit> hits;
    ScanGrayImage(gray.cols, gray.rows, gray.data, [&](const SymbolHit& hit) {
        hits.push_back(hit);
        if (hit.typeName == "QR-Code")
            hits.back().data = QrTextToUtf8(hit.data);
    });
    return hits;
}

std::vector<std::string> Texts(const std::vector<SymbolHit>& hits, std::span<const std::string_view> accepted)
{
    std::vector<std::string> texts;
    for (const SymbolHit& hit : hits)
        if (IsAccepted(hit.typeName, accepted))
            texts.push_back(hit.data);
    return texts;
}

std::vector<std::string> Read(const cv::Mat& gray, std::span<const std::string_view> accepted)
{
    const std::vector<SymbolHit> hits = ReadSymbols(gray.cols, gray.rows, gray.data, accepted, kEveryFurtherLook);
    for (const SymbolHit& hit : hits)  // in the picture's own pixels, whatever look found it
        for (const auto& [x, y] : hit.points)
            EXPECT_TRUE(x >= 0 && x <= gray.cols && y >= 0 && y <= gray.rows) << hit.data;
    return Texts(hits, accepted);
}

cv::Mat Picture(const std::string& name, const std::string& folder = kPictures)
{
    return cv::imread(folder + name, cv::IMREAD_GRAYSCALE);
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

// Degraded pictures that only one engine, or only a further look, reads; in order.
const struct {
    const char* name;
    std::vector<std::string> texts;
} kDegradedRows[] = {
    {"qr-heavy-blur.png", {"Lumora heavy blur"}},                            // zxing-cpp only
    {"qr-mirrored.png", {"Lumora mirrored"}},                                // ZBar only
    {"qr-light-on-dark.png", {"Lumora light on dark"}},                      // the negative
    {"qr-noisy.png", {"Lumora noisy"}},                                      // smoothed
    {"qr-small-modules.png", {"https://example.org/lumora/small-modules"}},  // enlarged
    {"qr-sharp-and-blurred.png", {"Hello, Lumora", "Lumora heavy blur"}},
    {"codabar-slanted.jpg", {"D44$448C"}},  // zxing-cpp only, confirmed as the label lies
    // ZBar's one, zxing-cpp's other one, then four found with those two painted over
    {"qr-sheet-of-six.png", {"ROOM 102 LUMORA", "ROOM 105 LUMORA", "ROOM 101 LUMORA", "ROOM 103 LUMORA",
                             "ROOM 104 LUMORA", "ROOM 106 LUMORA"}},
};

}  // namespace

// And zxing-cpp names and words every symbol it finds there as ZBar does.
TEST(ScanGrayImage, FindsWhatZbarsOwnReaderFindsInEveryTestPicture)
{
    constexpr std::string_view kZbarNames[] = {"QR-Code", "Codabar", "CODE-39", "CODE-128",
                                               "EAN-13",  "ISBN-13", "UPC-A"};
    std::ifstream manifest(kPictures + "MANIFEST.txt");
    int pictures = 0;
    int alike = 0;
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
        for (const ZxingSymbol& found : ReadWithZxing(gray.cols, gray.rows, gray.data, kZbarNames)) {
            const SymbolHit& hit = found.symbol;
            const bool zbarsToo = (line + '\t').find('\t' + Describe(hit) + '\t') != std::string::npos;
            EXPECT_TRUE(zbarsToo) << Describe(hit) << " in " << name;
            alike += zbarsToo && hit.points.size() == 4;
        }
    }
    EXPECT_GE(pictures, 25);
    EXPECT_GE(alike, 25);
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

// zxing-cpp 1.4 reads past the data of a damaged Hanzi-mode QR code and throws, and fails an
// assertion (aborting the process) when one read finds a linear symbol twice, as in this frame
// of an EAN-13 half in shadow: both used to end the program.
TEST(ReadWithZxing, ItsFaultsEndNothing)
{
    const std::string faults = LUMORA_TEST_DATA "/engine-faults/";
    const cv::Mat overrun = Picture("qr-hanzi-overrun.png", faults);
    ASSERT_FALSE(overrun.empty());
    EXPECT_NO_THROW(static_cast<void>(ReadWithZxing(overrun.cols, overrun.rows, overrun.data, DROP_TYPES)));
    EXPECT_NO_THROW(static_cast<void>(Read(overrun, CAMERA_TYPES)));
    const std::vector<std::string> ean{"4062313496716"};
    EXPECT_EQ(Read(Picture("ean13-shadow-abort.png", faults), CAMERA_TYPES), ean);
}

TEST(ReadSymbols, TogetherTheEnginesReadWhatEachAloneMisses)
{
    const std::vector<std::string> none;
    int zbarMissed = 0;
    int zxingMissed = 0;
    for (const auto& row : kDegradedRows) {
        const cv::Mat gray = Picture(row.name, kDegraded);
        EXPECT_EQ(Read(gray, DROP_TYPES), row.texts) << row.name;
        zbarMissed += Texts(Scan(gray), DROP_TYPES) != row.texts;
        std::vector<SymbolHit> zxing;
        for (const ZxingSymbol& found : ReadWithZxing(gray.cols, gray.rows, gray.data, DROP_TYPES))
            zxing.push_back(found.symbol);
        zxingMissed += Texts(zxing, DROP_TYPES) != row.texts;
    }
    EXPECT_EQ(zbarMissed, 7);
    EXPECT_EQ(zxingMissed, 6);
    // A picture without pixels, and one of a single shade, hold nothing, negative or not.
    EXPECT_EQ(Read(cv::Mat(), CAMERA_TYPES), none);
    EXPECT_EQ(Read(cv::Mat(64, 64, CV_8UC1, cv::Scalar(0)), CAMERA_TYPES), none);
}

TEST(ReadSymbols, ZbarsSymbolsComeFirstInItsOrderAndNoSymbolTwice)
{
    const std::vector<std::string> zbarOrder{"second", "first"};
    EXPECT_EQ(Read(Picture("two-qr.png"), DROP_TYPES), zbarOrder);
    const std::vector<std::string> both{"Hello, Lumora", "Lumora-128"};
    EXPECT_EQ(Read(Picture("qr-and-code128.png"), CAMERA_TYPES), both);
    const std::vector<std::string> codabar{"A40156B"};
    EXPECT_EQ(Read(Picture("codabar.png"), DROP_TYPES), codabar);
    // Found by both engines: only ZBar's code is outside the path's list.
    const std::vector<std::string> qrOnly{"Hello, Lumora"};
    EXPECT_EQ(Read(Picture("qr-and-code128.png"), DROP_TYPES), qrOnly);
}

// Each text as its code declares it, through both engines: ZBar lacks Code 128's FNC4 and
// QR's Hanzi mode, and a QR code that names its encoding is read as it says.
TEST(ReadSymbols, TakesEachTextAsItsCodeDeclaresIt)
{
    const struct {
        const char* name;
        const std::string& folder;
        std::string text;
    } rows[] = {
        {"code128-latin1.png", kTexts, "Señor Ló"},
        {"qr-hanzi.png", kTexts, "中文条码扫描"},
        {"qr-eci-shift-jis.png", kTexts, "取り込み準備中"},
        {"qr-kanji.png", kPictures, "取り込み準備中"},
        {"qr-eci-latin1.png", kPictures, "Grüße"},
        {"qr-sjis-bytes.png", kPictures, "取り込み準備中"},  // plain bytes: the encoding is chosen
        {"qr-cafe.png", kPictures, "café"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Read(Picture(row.name, row.folder), CAMERA_TYPES), std::vector<std::string>{row.text}) << row.name;
}
