// The bar-width check of EAN reads, on symbols drawn by zxing-cpp's own writer and then
// spoiled as a hot printer and a small camera spoil them.

#include "decode/EanBars.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <string>

namespace {

constexpr int kFine = 20;        // pixels a module before the camera's scale
constexpr int kQuiet = 12;       // modules of white about the symbol
constexpr int kFineHeight = 60;  // modules high

struct Spoiling {
    double spread;  // modules every bar grew by
    double module;  // pixels a module in the photo
    double blur;    // Gaussian sigma in photo pixels
};

struct Photo {
    cv::Mat picture;
    cv::Rect read;  // a line across the middle of the bars, as an engine's read spans it
};

Photo PhotoOf(const std::string& digits, const Spoiling& spoiling)
{
    const ZXing::BitMatrix modules =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::EAN13).setMargin(kQuiet).encode(digits, 1, 1);
    cv::Mat fine(kFineHeight * kFine, modules.width() * kFine, CV_8U, cv::Scalar(230));
    for (int x = 0; x < modules.width(); ++x)
        if (modules.get(x, 0))
            fine.colRange(x * kFine, (x + 1) * kFine).setTo(40);
    const int grow = static_cast<int>(spoiling.spread * kFine);
    if (grow > 0)
        cv::erode(fine, fine, cv::getStructuringElement(cv::MORPH_RECT, {grow + 1, 1}));
    if (grow < 0)
        cv::dilate(fine, fine, cv::getStructuringElement(cv::MORPH_RECT, {1 - grow, 1}));
    const double scale = spoiling.module / kFine;
    Photo photo;
    cv::resize(fine, photo.picture, {}, scale, scale, cv::INTER_AREA);
    cv::GaussianBlur(photo.picture, photo.picture, {}, spoiling.blur);
    cv::Mat noise(photo.picture.size(), CV_16S);
    cv::theRNG().state = 7;
    cv::randn(noise, 0, 3);
    photo.picture.convertTo(photo.picture, CV_16S);
    photo.picture += noise;
    photo.picture.convertTo(photo.picture, CV_8U);
    const int quiet = static_cast<int>(kQuiet * spoiling.module);
    photo.read = cv::Rect(quiet, photo.picture.rows / 2, photo.picture.cols - 2 * quiet, 1);
    return photo;
}

// Twelve digits and their check digit.
std::string WithCheckDigit(const std::string& twelve)
{
    int sum = 0;
    for (std::size_t i = 0; i < twelve.size(); ++i)
        sum += (twelve[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return twelve + static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace

TEST(EanBars, TellsTheTrueDigitsFromTheirInkSpreadLookalikes)
{
    // A 1 and a 7 (and a 2 and an 8) differ only in bar widths against space widths.
    const std::string truth = WithCheckDigit("471182172812");
    const std::string lookalike = WithCheckDigit("477182172812");
    for (const Spoiling spoiling : {Spoiling{0, 3, 0.6}, Spoiling{0.5, 2.5, 0.7}, Spoiling{0.6, 3, 0.8},
                                    Spoiling{-0.3, 3, 0.6}, Spoiling{0.4, 1.8, 0.6}}) {
        const Photo photo = PhotoOf(truth, spoiling);
        SCOPED_TRACE(testing::Message() << "spread " << spoiling.spread << ", module " << spoiling.module);
        EXPECT_EQ(CheckEanBars(photo.picture, photo.read, truth), BarsSay::Fits);
        EXPECT_EQ(CheckEanBars(photo.picture, photo.read, lookalike), BarsSay::Misfits);

        // Upside down, and upright on the page.
        cv::Mat turned;
        cv::rotate(photo.picture, turned, cv::ROTATE_180);
        const cv::Rect read = photo.read;
        const cv::Rect turnedRead(turned.cols - read.x - read.width, turned.rows - read.y - 1, read.width, 1);
        EXPECT_EQ(CheckEanBars(turned, turnedRead, truth), BarsSay::Fits);
        cv::rotate(photo.picture, turned, cv::ROTATE_90_CLOCKWISE);
        EXPECT_EQ(CheckEanBars(turned, cv::Rect(turned.cols - read.y - 1, read.x, 1, read.width), truth), BarsSay::Fits);
    }
}

TEST(EanBars, SaysNothingWhereTheBarsCannotTell)
{
    const std::string truth = WithCheckDigit("590123412345");
    // Blurred past the narrowest bars: no verdict either way.
    const Photo blurred = PhotoOf(truth, {0.4, 1.5, 1.6});
    EXPECT_EQ(CheckEanBars(blurred.picture, blurred.read, truth), BarsSay::Unknown);
    EXPECT_EQ(CheckEanBars(blurred.picture, blurred.read, WithCheckDigit("590723412345")), BarsSay::Unknown);

    const Photo sharp = PhotoOf(truth, {0, 3, 0.6});
    EXPECT_EQ(CheckEanBars(sharp.picture, sharp.read, "590123412345"), BarsSay::Unknown);
    EXPECT_EQ(CheckEanBars(sharp.picture, sharp.read, "59012341234x5"), BarsSay::Unknown);
    EXPECT_EQ(CheckEanBars(cv::Mat(), sharp.read, truth), BarsSay::Unknown);
    // A read placed off the bars, and one off the picture.
    EXPECT_EQ(CheckEanBars(sharp.picture, cv::Rect(0, 0, 20, 1), truth), BarsSay::Unknown);
    EXPECT_EQ(CheckEanBars(sharp.picture, cv::Rect(-50, -50, 10, 10), truth), BarsSay::Unknown);
}
