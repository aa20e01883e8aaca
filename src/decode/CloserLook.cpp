#include "decode/CloserLook.h"

#include "decode/BothEngines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

// A closer look takes the place with room for the quiet zones and a second row of reads: a
// third of the symbol's width on either side, and half its height (at least a fifth of its
// width, for a place one scan line high) above and below.
constexpr double kCloserMarginAcross = 1.0 / 3;
constexpr double kCloserMarginAlong = 0.5;
constexpr double kCloserLeastMarginAlong = 0.2;
// ...at a scale that makes it about as long as a camera frame is wide: a small one larger, its
// thin bars widened into more pixels; a large one smaller, its print flaws shrunk below what
// the engines take for a bar. Never more than twice or less than half its size.
constexpr double kCloserLength = 640;
constexpr double kMostCloserScale = 2.0;
constexpr double kLeastCloserScale = 0.5;
// ...turned so that its bars stand upright, which both engines' line scans cross best; and
// in the second way smoothed (noise, grain), in the third with its light evened out over a
// tenth of its length (a shadow or a glare band over part of it).
enum class CloserWay { Plain, Smoothed, EvenLight, Count };
constexpr double kCloserSmoothingSigma = 1.0;
constexpr int kEvenLightShare = 10;
constexpr double kLeastContrast = 10;  // gray levels: flatter than this, no bars to even out
constexpr double kLeastTurn = 1;        // degrees: bars turned less stand upright already

// Points through a 2x3 affine transform.
void Relocate(SymbolHit& symbol, const cv::Matx23d& transform)
{
    for (auto& [x, y] : symbol.points) {
        const double fromX = x;
        const double fromY = y;
        x = static_cast<int>(std::lround(transform(0, 0) * fromX + transform(0, 1) * fromY + transform(0, 2)));
        y = static_cast<int>(std::lround(transform(1, 0) * fromX + transform(1, 1) * fromY + transform(1, 2)));
    }
}

// The angle (degrees, counter-clockwise) that turns the bars of a symbol in picture upright:
// the picture's dominant gradient then runs along its rows.
double UprightAngle(const cv::Mat& picture)
{
    cv::Mat dx;
    cv::Mat dy;
    cv::Sobel(picture, dx, CV_32F, 1, 0);
    cv::Sobel(picture, dy, CV_32F, 0, 1);
    const double xx = dx.dot(dx);
    const double yy = dy.dot(dy);
    const double xy = dx.dot(dy);
    return 0.5 * std::atan2(2 * xy, xx - yy) * 180 / CV_PI;
}

// Light evened out: each pixel between the darkest and the lightest around it.
cv::Mat EvenLight(const cv::Mat& picture, int reach)
{
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(reach, reach));
    cv::Mat darkest;
    cv::Mat lightest;
    cv::erode(picture, darkest, kernel);
    cv::dilate(picture, lightest, kernel);
    cv::Mat low;
    cv::Mat high;
    cv::blur(darkest, low, cv::Size(reach, reach));
    cv::blur(lightest, high, cv::Size(reach, reach));
    cv::Mat range;
    cv::subtract(high, low, range, cv::noArray(), CV_32F);
    cv::max(range, kLeastContrast, range);
    cv::Mat lifted;
    cv::subtract(picture, low, lifted, cv::noArray(), CV_32F);
    cv::Mat even;
    cv::divide(lifted, range, even, 255.0, CV_8U);
    return even;
}

// Both engines' reads of crop turned by angle (degrees, counter-clockwise) and scaled in one
// step, onto a canvas that holds all of it, then spoiled or mended in the closer way; points
// in the crop's pixels.
EngineReads ReadTurned(const cv::Mat& crop, double angle, double scale, CloserWay way, int evenLightReach,
                       std::span<const std::string_view> zxingNames)
{
    const cv::Point2f middle(static_cast<float>(crop.cols) / 2, static_cast<float>(crop.rows) / 2);
    cv::Mat turn = cv::getRotationMatrix2D(middle, angle, scale);
    const cv::Rect2f bounds =
        cv::RotatedRect(middle, cv::Size2f(crop.size()) * static_cast<float>(scale), static_cast<float>(angle))
            .boundingRect2f();
    turn.at<double>(0, 2) += bounds.width / 2 - middle.x;
    turn.at<double>(1, 2) += bounds.height / 2 - middle.y;
    cv::Mat closer;
    cv::warpAffine(crop, closer, turn, cv::Size(static_cast<int>(bounds.width), static_cast<int>(bounds.height)),
                   scale > 1 ? cv::INTER_CUBIC : cv::INTER_AREA, cv::BORDER_REPLICATE);
    switch (way) {
    case CloserWay::Plain: break;
    case CloserWay::Smoothed: cv::GaussianBlur(closer, closer, cv::Size(), kCloserSmoothingSigma); break;
    case CloserWay::EvenLight:
        closer = EvenLight(closer, evenLightReach);
        break;
    case CloserWay::Count: break;
    }
    EngineReads reads = ReadWithBoth(closer, Engines::Both, zxingNames);

    cv::Mat back;
    cv::invertAffineTransform(turn, back);
    const cv::Matx23d toCrop(back);
    for (SymbolHit& symbol : reads.zbar)
        Relocate(symbol, toCrop);
    for (ZxingSymbol& found : reads.zxing)
        Relocate(found.symbol, toCrop);
    return reads;
}

}  // namespace

std::optional<EngineReads> LookCloser(const cv::Mat& lookPicture, int enlargement, cv::Rect place, int way,
                                      std::span<const std::string_view> zxingNames)
{
    if (way >= static_cast<int>(CloserWay::Count))
        return std::nullopt;
    place = cv::Rect(place.x * enlargement, place.y * enlargement, place.width * enlargement,
                     place.height * enlargement);
    const bool across = place.width >= place.height;  // bars stand across the longer side
    const int length = std::max(place.width, place.height);
    const int thickness = std::min(place.width, place.height);
    const int marginAcross = static_cast<int>(length * kCloserMarginAcross);
    const int marginAlong = static_cast<int>(
        std::max(thickness * kCloserMarginAlong, length * kCloserLeastMarginAlong));
    const int marginX = across ? marginAcross : marginAlong;
    const int marginY = across ? marginAlong : marginAcross;
    const cv::Rect region = cv::Rect(place.x - marginX, place.y - marginY, place.width + 2 * marginX,
                                     place.height + 2 * marginY) &
                            cv::Rect(0, 0, lookPicture.cols, lookPicture.rows);
    const double scale = std::clamp(kCloserLength / std::max(length, 1), kLeastCloserScale, kMostCloserScale);
    if (region.width * scale < 1 || region.height * scale < 1)
        return EngineReads{};  // nothing of the place is in the picture
    const cv::Mat crop = lookPicture(region);

    const double upright = UprightAngle(crop);
    const int evenLightReach = std::max(3, static_cast<int>(length * scale) / kEvenLightShare);
    EngineReads reads = ReadTurned(crop, upright, scale, static_cast<CloserWay>(way), evenLightReach, zxingNames);
    // A label seen at a slant has its bars and its length turned by different angles: turned
    // upright, its length slopes out of the rows. Its bars as they lie are read then.
    if (reads.zbar.empty() && reads.zxing.empty() && std::abs(upright) >= kLeastTurn)
        reads = ReadTurned(crop, 0, scale, static_cast<CloserWay>(way), evenLightReach, zxingNames);

    // From the crop's pixels back to the picture's.
    const cv::Matx23d toPicture(1.0 / enlargement, 0, static_cast<double>(region.x) / enlargement,  //
                                0, 1.0 / enlargement, static_cast<double>(region.y) / enlargement);
    for (SymbolHit& symbol : reads.zbar)
        Relocate(symbol, toPicture);
    for (ZxingSymbol& found : reads.zxing)
        Relocate(found.symbol, toPicture);
    return reads;
}
